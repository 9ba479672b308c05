#include "encode/mpeg_input_probe.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tellavine {
namespace {

// Bit rates in kbit/s by [version is MPEG-1][layer - 1][index].
constexpr int kBitRates[2][3][15] = {
    {// MPEG-2 and 2.5
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {// MPEG-1
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

struct AudioFrame {
    bool valid = false;
    std::size_t bytes = 0;
    int samples = 0;
    int sampleRate = 0;
    int bitRate = 0;
};

// One frame header at `at`; valid only when it is a frame the library can take:
// a sync word, a known version and layer, a bit-rate index of 1..14 and a sampling-rate
// index of 0..2. Free-format frames (index 0) have no size to step by and are refused.
AudioFrame readAudioFrame(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    AudioFrame frame;
    if (at + 4 > bytes.size()) return frame;
    const std::uint32_t header = (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
                                 (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if ((header >> 21) != 0x7FF) return frame;
    const int version = (header >> 19) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved
    const int layerBits = (header >> 17) & 3;
    const int bitRateIndex = (header >> 12) & 15;
    const int sampleRateIndex = (header >> 10) & 3;
    const int padding = (header >> 9) & 1;
    if (version == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 || sampleRateIndex == 3)
        return frame;
    const int layer = 4 - layerBits;
    const bool mpeg1 = version == 3;
    frame.bitRate = kBitRates[mpeg1 ? 1 : 0][layer - 1][bitRateIndex] * 1000;
    frame.sampleRate = kSampleRates[sampleRateIndex] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
    if (layer == 1) {
        frame.samples = 384;
        frame.bytes = static_cast<std::size_t>((12 * frame.bitRate / frame.sampleRate + padding) * 4);
    } else {
        frame.samples = (layer == 3 && !mpeg1) ? 576 : 1152;
        frame.bytes = static_cast<std::size_t>(frame.samples / 8 * frame.bitRate / frame.sampleRate + padding);
    }
    frame.valid = frame.bytes >= 4;
    return frame;
}

bool startsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}  // namespace

MpegInputKind classifyMpegInput(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0) return MpegInputKind::MpegAudio;
    if (startsWith(bytes, {0x0B, 0x77})) return MpegInputKind::Ac3Audio;
    if (startsWith(bytes, {0x00, 0x00, 0x01, 0xB3})) return MpegInputKind::MpegVideo;
    return MpegInputKind::Unrecognised;
}

MpegAudioSummary summariseMpegAudio(const std::vector<std::uint8_t>& bytes) {
    MpegAudioSummary summary;
    std::size_t at = 0;
    double samples = 0;
    while (at < bytes.size()) {
        const auto frame = readAudioFrame(bytes, at);
        if (!frame.valid) {
            // An ID3v1 tag may close the stream; anything else is refused.
            if (bytes.size() - at == 128 && bytes[at] == 'T' && bytes[at + 1] == 'A' && bytes[at + 2] == 'G') break;
            summary.badFrameOffset = at;
            return summary;
        }
        if (summary.frames == 0) summary.bytesPerSecond = static_cast<std::uint32_t>(frame.bitRate / 8);
        ++summary.frames;
        samples += static_cast<double>(frame.samples) / frame.sampleRate;
        at += frame.bytes;
    }
    summary.valid = summary.frames > 0;
    summary.seconds = samples;
    return summary;
}

MpegVideoSummary summariseMpegVideo(const std::vector<std::uint8_t>& bytes) {
    MpegVideoSummary summary;
    std::size_t sequenceStart = 0;
    bool inSequence = false;
    for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
        if (bytes[at] != 0 || bytes[at + 1] != 0 || bytes[at + 2] != 1) continue;
        const auto code = bytes[at + 3];
        if (code == 0xB3) {
            if (summary.width == 0 && at + 7 <= bytes.size()) {
                summary.width = (bytes[at + 4] << 4) | (bytes[at + 5] >> 4);
                summary.height = ((bytes[at + 5] & 0x0F) << 8) | bytes[at + 6];
            }
            if (!inSequence) sequenceStart = at;
            inSequence = true;
        } else if (code == 0x00) {
            ++summary.pictures;
        } else if (code == 0xB7 && inSequence) {
            summary.largestPictureBytes = std::max(summary.largestPictureBytes, at + 4 - sequenceStart);
            inSequence = false;
        }
        at += 3;
    }
    return summary;
}

MpegInputProbe probeMpegInput(const std::string& path) {
    MpegInputProbe probe;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        probe.open = MpegInputProbe::Open::CannotOpen;
        return probe;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        probe.open = MpegInputProbe::Open::CannotRead;
        return probe;
    }
    probe.kind = classifyMpegInput(bytes);
    if (probe.kind == MpegInputKind::MpegAudio) probe.audio = summariseMpegAudio(bytes);
    if (probe.kind == MpegInputKind::MpegVideo) probe.video = summariseMpegVideo(bytes);
    return probe;
}

}  // namespace tellavine
