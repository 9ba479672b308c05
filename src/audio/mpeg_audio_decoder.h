#pragma once
// MPEG audio frame decoder over libmpg123: initialised from the first frame header, it
// turns one frame at a time into interleaved 16-bit PCM in the frame's own rate and
// channel count.

#include "audio/mpeg_audio_header.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

struct mpg123_handle_struct;

namespace tellavine::audio {

struct PcmDescription {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
};

struct FrameDecodeResult {
    bool ok = false;
    std::size_t consumed = 0;  // input bytes taken (the frame length on success)
    std::size_t produced = 0;  // PCM bytes written
};

class MpegAudioDecoder {
public:
    // The most PCM bytes one decode step can produce (1152 stereo 16-bit samples).
    static constexpr std::size_t kMaxFramePcmBytes = 1152 * 2 * 2;

    MpegAudioDecoder();
    ~MpegAudioDecoder();
    MpegAudioDecoder(MpegAudioDecoder&&) noexcept;
    MpegAudioDecoder& operator=(MpegAudioDecoder&&) noexcept;

    // Prepares decoding of a stream whose first frame has `header`: full rate, channels
    // as coded, 16-bit signed samples. False when the library refuses.
    bool init(const MpegAudioHeader& header);
    PcmDescription output() const { return output_; }

    // Decodes the one frame `frame` (exactly its header's frame length) into `pcm`, which
    // must hold kMaxFramePcmBytes. A frame whose sound depends on data not yet seen (the
    // Layer III bit reservoir after a gap) may produce nothing.
    FrameDecodeResult decodeFrame(std::span<const std::uint8_t> frame, std::span<std::uint8_t> pcm);

private:
    struct HandleDeleter {
        void operator()(mpg123_handle_struct* handle) const noexcept;
    };
    std::unique_ptr<mpg123_handle_struct, HandleDeleter> handle_;
    PcmDescription output_;
};

}  // namespace tellavine::audio
