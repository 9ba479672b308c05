#!/usr/bin/env python3
"""Writes a Tellavine project file (.ovp) from a small JSON description.

The binary layout: a 268-byte header (signature, version 200, album count), a 784-byte
menu block, then each album's 532-byte record followed by its 620-byte slide records.
Texts are 260-byte NUL-terminated fields, integers 32-bit little-endian.

    {"template": "template\\\\classic.ini", "menu_music": "/abs/menu.mp3",
     "albums": [{"name": "Garden", "play_time": 4, "music": "",
                 "slides": [{"path": "/abs/a.jpg", "rotation": 0,
                             "caption": {"text": "Hello", "align": 4}}]}]}
"""
import json
import struct
import sys

SIGNATURE = "Orvessa Project File"
TEXT = 260


def text(value, size=TEXT):
    data = value.encode("utf-8")[: size - 1]
    return data + b"\0" * (size - len(data))


def logfont(face="Comic Sans MS", height=-16, weight=800, italic=0):
    # height, width, escapement, orientation, weight; italic, underline, strike-out,
    # charset, out precision, clip precision, quality, pitch and family; face name.
    return struct.pack("<5i8B", height, 0, 0, 0, weight, italic, 0, 0, 0, 3, 2, 1, 0x22) + text(face, 32)


def slide_record(slide):
    rotation = slide.get("rotation", 0)
    caption = slide.get("caption")
    record = text(slide["path"])
    record += struct.pack("<iii", 1 if rotation else 0, rotation, 1 if caption else 0)
    caption = caption or {}
    record += logfont(caption.get("face", "Comic Sans MS"), caption.get("height", -16),
                      caption.get("weight", 800), caption.get("italic", 0))
    record += text(caption.get("text", ""))
    record += struct.pack("<iiIiiIi", caption.get("x", -1), caption.get("y", -1),
                          caption.get("colour", 0xFFFFFF), 0, 1 if caption.get("shadow", True) else 0,
                          caption.get("shadow_colour", 0), caption.get("align", 4))
    assert len(record) == 620
    return record


def project_bytes(project):
    albums = project.get("albums", [])
    data = text(SIGNATURE) + struct.pack("<ii", 200, len(albums))
    data += text(project.get("template", "template\\classic.ini"))
    data += text(project.get("menu_music", "")) + struct.pack("<i", project.get("menu_music_length", 0))
    data += text(project.get("menu_background", ""))
    for album in albums:
        slides = album.get("slides", [])
        data += text(album["name"]) + struct.pack("<i", album.get("play_time", 4))
        data += text(album.get("music", "")) + struct.pack("<ii", album.get("music_length", 0), len(slides))
        for slide in slides:
            data += slide_record(slide)
    return data


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: write-project.py DESCRIPTION.json OUTPUT.ovp")
    with open(sys.argv[1], encoding="utf-8") as source:
        project = json.load(source)
    with open(sys.argv[2], "wb") as target:
        target.write(project_bytes(project))


if __name__ == "__main__":
    main()
