#include "audio/mpeg_audio_header.h"

#include <algorithm>

namespace tellavine::audio {
namespace {

// Bitrates in kbit/s by bitrate index 1..14; index 0 (free format) and 15 are unusable.
constexpr int kBitratesMpeg1[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // Layer III
};
constexpr int kBitratesLsf[3][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},  // Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},       // Layers II, III
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int kSampleRatesMpeg1[3] = {44100, 48000, 32000};

}  // namespace

int MpegAudioHeader::samplesPerFrame() const {
    if (layer == 1) return 384;
    if (layer == 2) return 1152;
    return version == MpegVersion::Mpeg1 ? 1152 : 576;
}

std::size_t MpegAudioHeader::xingTagOffset() const {
    const bool mono = channelMode == 3;
    const std::size_t crc = crcProtected ? 2 : 0;
    if (version == MpegVersion::Mpeg1) return (mono ? 21 : 36) + crc;
    return (mono ? 13 : 21) + crc;
}

std::optional<MpegAudioHeader> parseMpegAudioHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || !hasFrameSync(bytes)) return std::nullopt;
    const int versionBits = (bytes[1] >> 3) & 3;
    const int layerBits = (bytes[1] >> 1) & 3;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 3;
    const int emphasis = bytes[3] & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2) {
        return std::nullopt;
    }

    MpegAudioHeader header;
    header.version = versionBits == 3   ? MpegVersion::Mpeg1
                     : versionBits == 2 ? MpegVersion::Mpeg2
                                        : MpegVersion::Mpeg25;
    header.layer = 4 - layerBits;
    header.crcProtected = (bytes[1] & 1) == 0;
    header.padded = ((bytes[2] >> 1) & 1) != 0;
    header.channelMode = bytes[3] >> 6;
    const int divisor = header.version == MpegVersion::Mpeg1 ? 1 : header.version == MpegVersion::Mpeg2 ? 2 : 4;
    header.sampleRate = kSampleRatesMpeg1[rateIndex] / divisor;
    header.bitrateKbps = header.version == MpegVersion::Mpeg1 ? kBitratesMpeg1[header.layer - 1][bitrateIndex]
                                                              : kBitratesLsf[header.layer - 1][bitrateIndex];

    const long bitsPerSecond = header.bitrateKbps * 1000L;
    const long padding = header.padded ? 1 : 0;
    if (header.layer == 1) {
        header.frameLength = static_cast<std::size_t>((12 * bitsPerSecond / header.sampleRate + padding) * 4);
    } else {
        // Layer III frames of MPEG-2 and 2.5 hold half as many samples as MPEG-1 ones.
        const long slotsFactor = header.layer == 3 && header.version != MpegVersion::Mpeg1 ? 72 : 144;
        header.frameLength = static_cast<std::size_t>(slotsFactor * bitsPerSecond / header.sampleRate + padding);
    }
    return header;
}

bool isXingFrame(const MpegAudioHeader& header, std::span<const std::uint8_t> frame) {
    const std::size_t at = header.xingTagOffset();
    if (header.layer != 3 || frame.size() < at + 4) return false;
    const auto tag = frame.subspan(at, 4);
    static constexpr std::uint8_t kXing[4] = {'X', 'i', 'n', 'g'};
    static constexpr std::uint8_t kInfo[4] = {'I', 'n', 'f', 'o'};
    return std::equal(tag.begin(), tag.end(), kXing) || std::equal(tag.begin(), tag.end(), kInfo);
}

}  // namespace tellavine::audio
