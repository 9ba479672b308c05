#pragma once
// Audio preparation for the music stage: MP3 to a temporary WAV, and WAV to the Video
// CD's MPEG-1 Layer II (44100 Hz, stereo, 224 kbit/s, no CRC), either whole or
// repeated and cut to a play time. Works file to file on the build thread.
//
// Any PCM WAV is taken, whatever its chunks, rate, channel count (mono or stereo) and
// sample format (8-, 16-, 24-, 32-bit integer, 32- or 64-bit float, WAVE_FORMAT_EXTENSIBLE
// too): the samples are brought to 16-bit 44100 Hz stereo before encoding, so the music
// keeps its speed and pitch on the disc. Compressed WAV files are refused.

#include "project/messages.h"

#include <string>

namespace tellavine {

// Decodes the whole MP3 into a WAV in its coded rate and channels (ID3v2 tag and a
// leading Xing frame skipped). False when nothing could be decoded or writing failed.
bool decodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath);

// Encodes the whole WAV. Logs "Encoding music file %s to mp2." before and
// "Encoding music file %s to mp2 OK!." after success.
bool encodeWavToMp2(const std::string& wavPath, const std::string& mp2Path,
                    const EngineServices& services = EngineServices{});

// Encodes `seconds` of music taken from the WAV repeatedly from its start, cut at the
// first chunk boundary at or past that length (less than one chunk, 26 ms, over). False
// for a WAV without samples.
bool encodeWavToMp2Looped(const std::string& wavPath, const std::string& mp2Path, int seconds);

}  // namespace tellavine
