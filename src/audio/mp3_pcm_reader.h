#pragma once
// Reads an MP3 file as 44100 Hz interleaved stereo for playback: the ID3v2 tag is
// skipped, frames are found with the 409600-byte junk limit and decoded one by one,
// and the sound goes through a CdRateStream (mono doubled, other rates converted).

#include "audio/cd_rate_stream.h"
#include "audio/mp3_input.h"
#include "audio/mpeg_audio_decoder.h"
#include "platform/file.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tellavine::audio {

class Mp3PcmReader {
public:
    // Opens the file and prepares the decoder from its first frame; false when the file
    // cannot be read, holds no frame, or the decoder refuses it.
    bool open(const std::string& path);

    // Drops the first `frames` decoded frames (in the file's own rate): a start inside the music.
    void skipSourceFrames(std::uint64_t frames) { skipBytes_ = frames * frameBytes(); }

    // Fills `values` with interleaved stereo samples; fewer only at the end of the music
    // or on a failure (see failed()).
    std::size_t read(std::span<std::int16_t> values);

    // A read error ended the music early.
    bool failed() const { return failed_; }
    PcmDescription source() const { return decoder_.output(); }

private:
    static constexpr std::size_t kMaxSkippedBytes = 409600;

    std::uint64_t frameBytes() const { return static_cast<std::uint64_t>(decoder_.output().channels) * 2; }
    void produceMore();

    File file_;
    std::unique_ptr<Mp3InputWindow> input_;  // reads file_
    std::optional<MpegAudioHeader> first_;
    MpegAudioDecoder decoder_;
    std::unique_ptr<CdRateStream> stream_;
    std::vector<std::uint8_t> pcm_;
    std::vector<std::int16_t> ready_;
    std::size_t readyHead_ = 0;
    std::uint64_t skipBytes_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

}  // namespace tellavine::audio
