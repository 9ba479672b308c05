#pragma once
// The four-byte header that starts every MPEG audio frame (MPEG-1, MPEG-2 and the
// unofficial MPEG-2.5, Layers I to III): what it says and how long its frame is.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tellavine::audio {

enum class MpegVersion { Mpeg1, Mpeg2, Mpeg25 };

struct MpegAudioHeader {
    MpegVersion version = MpegVersion::Mpeg1;
    int layer = 3;             // 1, 2 or 3
    int bitrateKbps = 0;
    int sampleRate = 0;        // Hz
    bool padded = false;
    bool crcProtected = false;
    int channelMode = 0;       // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::size_t frameLength = 0;  // bytes, header included

    int channels() const { return channelMode == 3 ? 1 : 2; }
    // PCM samples per channel that one frame decodes to.
    int samplesPerFrame() const;
    // Where a Xing/Info tag sits in a Layer III frame, counted from the frame start:
    // after the header, the CRC word if any, and the side information.
    std::size_t xingTagOffset() const;
};

// True when `bytes` starts with the 11-bit frame sync (0xFF, then three high bits set).
inline bool hasFrameSync(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

// The header at the start of `bytes`, or nothing when the four bytes are not a usable
// frame header (reserved version, layer, rate or emphasis, free-format or bad bitrate).
std::optional<MpegAudioHeader> parseMpegAudioHeader(std::span<const std::uint8_t> bytes);

// True when the frame at the start of `frame` carries a Xing or Info tag (the VBR
// information frame encoders put before the audio) rather than sound.
bool isXingFrame(const MpegAudioHeader& header, std::span<const std::uint8_t> frame);

}  // namespace tellavine::audio
