#pragma once
// The input side of MP3 scanning: a 60000-byte window over the file, refilled whenever
// fewer than 2500 unread bytes remain, so a whole frame (at most 1441 bytes) is always
// in view until the file ends.

#include "audio/mpeg_audio_header.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace tellavine::audio {

class Mp3InputWindow {
public:
    static constexpr std::size_t kSize = 60000;
    static constexpr std::size_t kRefillBelow = 2500;

    explicit Mp3InputWindow(std::FILE* file);

    // The unread bytes, after topping up the window when it runs low.
    std::span<const std::uint8_t> view();
    void consume(std::size_t count);
    bool readFailed() const { return readFailed_; }

private:
    std::FILE* file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool fileEnded_ = false;
    bool readFailed_ = false;
};

// What to accept as a frame while scanning.
struct FrameFilter {
    bool layerThreeOnly = false;  // MPEG-1 and MPEG-2 Layer III, as the MP3 route decodes
    const MpegAudioHeader* sameAs = nullptr;  // also require this stream's version, layer, rate and channels
};

std::optional<MpegAudioHeader> acceptedFrame(std::span<const std::uint8_t> bytes, const FrameFilter& filter);

// True when the frame `header` at the start of `bytes` is followed by another frame of
// the same stream, or by the end of the input. Guards the choice of a stream's first
// frame against sync patterns inside other data.
bool confirmedByNextFrame(std::span<const std::uint8_t> bytes, const MpegAudioHeader& header,
                          const FrameFilter& filter);

// Skips to the next frame `filter` accepts, whole in view; nothing when the input ends
// first or more than `maxSkipped` bytes in a row are no frame. `confirm` also asks for a
// following frame of the same stream.
std::optional<MpegAudioHeader> nextFrame(Mp3InputWindow& input, const FrameFilter& filter, bool confirm = false,
                                         std::size_t maxSkipped = SIZE_MAX);

}  // namespace tellavine::audio
