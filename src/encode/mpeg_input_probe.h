#pragma once
// What the multiplexer needs to know of its input files before they reach the
// multiplexer library: the kind of stream (tried as MPEG audio, AC3 audio, MPEG video,
// in that order, as the library does), and for MPEG audio that every frame header is
// one the library can handle (it hangs on bit-rate index 15 and divides by zero on
// sampling-rate index 3), and for video the picture size and number of stills.

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine {

enum class MpegInputKind { MpegAudio, Ac3Audio, MpegVideo, Unrecognised };

struct MpegAudioSummary {
    bool valid = false;
    std::uint64_t frames = 0;
    double seconds = 0;
    std::uint32_t bytesPerSecond = 0;  // of the first frame's bit rate
    std::uint64_t badFrameOffset = 0;  // where a bad header was found, when not valid
};

struct MpegVideoSummary {
    int width = 0;
    int height = 0;
    int pictures = 0;
    std::size_t largestPictureBytes = 0;  // the largest sequence, header to end code
};

struct MpegInputProbe {
    enum class Open { Ok, CannotOpen, CannotRead } open = Open::Ok;
    MpegInputKind kind = MpegInputKind::Unrecognised;
    MpegAudioSummary audio;
    MpegVideoSummary video;
};

// Reads the file whole (inputs are elementary streams of at most some megabytes).
MpegInputProbe probeMpegInput(const std::string& path);

MpegInputKind classifyMpegInput(const std::vector<std::uint8_t>& bytes);
MpegAudioSummary summariseMpegAudio(const std::vector<std::uint8_t>& bytes);
MpegVideoSummary summariseMpegVideo(const std::vector<std::uint8_t>& bytes);

}  // namespace tellavine
