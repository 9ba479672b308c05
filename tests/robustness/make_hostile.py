#!/usr/bin/env python3
"""Writes the hostile input files of the robustness suite into a folder.

    make_hostile.py FOLDER KIND...

Kinds: huge_header.png (a 60000 x 60000 PNG header with a few bytes of data),
bomb.png (a real 20000 x 20000 greyscale PNG of zeros, a few hundred KiB compressed),
alaw.wav (A-law compressed mono, which the chain does not decode), tone.wav (3 s of 16-bit stereo 44.1 kHz PCM: music the
build accepts), not_mp3.mp3 (text), text.jpg (text).
"""
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, colour_type, idat):
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", idat) + chunk(b"IEND", b"")


def bomb():
    width = height = 20000
    compressor = zlib.compressobj(9)
    row = bytes(width + 1)  # filter byte 0 and a row of black
    parts = [compressor.compress(row) for _ in range(height)]
    parts.append(compressor.flush())
    return png(width, height, 0, b"".join(parts))


def alaw_wav():
    rate, seconds = 22050, 3
    samples = bytes(0xD5 + (i // 20 % 2) * 0x20 for i in range(rate * seconds))
    fmt = struct.pack("<HHIIHH", 6, 1, rate, rate, 1, 8)  # format 6: A-law
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tone_wav():
    rate, seconds = 44100, 3
    samples = b"".join(struct.pack("<hh", (i // 50 % 2) * 6000 - 3000, 0) for i in range(rate * seconds))
    fmt = struct.pack("<HHIIHH", 1, 2, rate, rate * 4, 4, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


MAKERS = {
    "huge_header.png": lambda: png(60000, 60000, 2, zlib.compress(bytes(64))),
    "bomb.png": bomb,
    "alaw.wav": alaw_wav,
    "tone.wav": tone_wav,
    "not_mp3.mp3": lambda: b"This is a shopping list, not music.\n" * 200,
    "text.jpg": lambda: b"Not a photograph at all.\n" * 20,
}

folder = sys.argv[1]
for kind in sys.argv[2:]:
    with open(f"{folder}/{kind}", "wb") as out:
        out.write(MAKERS[kind]())
