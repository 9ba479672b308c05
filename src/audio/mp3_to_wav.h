#pragma once
// Decoding an MP3 file into a PCM WAV file in the rate and channel count it was coded
// with, through the frame decoder. Uses one decoder and two bounded buffers per call.

#include <cstdio>
#include <string>

namespace tellavine::audio {

// Decodes the Layer III frames from the current position of `mp3` into `wav` (written
// from its start: a 44-byte header, then the samples; the lengths are patched at the
// end). A leading Xing/Info frame is stepped over. False when no frame can be decoded,
// or when writing fails.
bool decodeMp3StreamToWav(std::FILE* mp3, std::FILE* wav);

// The whole MP3 at `mp3Path`, its ID3v2 tag skipped, into a new WAV file at `wavPath`
// (replaced when it exists, readable and writable by the owner only).
bool decodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath);

}  // namespace tellavine::audio
