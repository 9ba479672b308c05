#pragma once
// Music fixtures made at test time with sox, lame and ffmpeg, and independent readings
// of results through ffprobe/ffmpeg, shared by the audio and encode tests.

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::testing {

struct ToneSpec {
    int sampleRate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double frequency = 1000.0;
    int bits = 16;
    std::string encoding = {};  // sox's -e ("floating-point", "ms-adpcm", ...); empty: sox's choice for the bits
};

// A sine tone as a WAV file written by sox (canonical 44-byte header).
void makeToneWav(const std::string& path, const ToneSpec& tone);
// The same WAV rewritten by ffmpeg with a title, which puts a LIST chunk before "data".
void addListChunk(const std::string& wavPath, const std::string& outPath);
// An MP3 from a WAV through lame with extra options (e.g. "-b 128", "-V 4 --pad-id3v2-size 4096").
void makeMp3(const std::string& wavPath, const std::string& mp3Path, const std::string& lameOptions);

struct ProbedStream {
    std::string codec;       // "mp2", "mp3", "pcm_s16le"
    int sampleRate = 0;
    int channels = 0;
    long bitRate = 0;        // bit/s
};
// The first audio stream as ffprobe reads it.
ProbedStream probeAudio(const std::string& path);

// The file decoded by ffmpeg to interleaved 16-bit samples in its own rate and channels.
std::vector<std::int16_t> decodeWithFfmpeg(const std::string& path);

// The frequency of a pure tone in one channel of interleaved samples, from its rising
// zero crossings over the middle half of the sound, or between the given seconds.
double toneFrequency(const std::vector<std::int16_t>& interleaved, int channels, int sampleRate, int channel = 0,
                     double fromSeconds = -1, double toSeconds = -1);

// Bytes of the file at `path`.
std::vector<std::uint8_t> fileBytes(const std::string& path);

}  // namespace tellavine::testing
