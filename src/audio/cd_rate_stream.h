#pragma once
// Turns 16-bit PCM of any rate, mono or stereo, into 44100 Hz interleaved stereo as it
// streams in: mono is doubled into both channels and other rates go through the
// SampleRateConverter. Output follows the input exactly in time (n input frames make
// n x 44100 / rate output frames overall), however the input is cut into pieces.

#include "audio/sample_rate_converter.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tellavine::audio {

class CdRateStream {
public:
    static constexpr int kSampleRate = 44100;

    // `sourceRate` in Hz; starts with fresh converter history.
    explicit CdRateStream(int sourceRate);

    // Appends the converted form of `pcm` (little-endian 16-bit samples, `channels`
    // interleaved, a partial frame at its end ignored) to `out`. `last` says no more
    // input follows, so the converter gives out everything it still holds.
    void append(std::span<const std::uint8_t> pcm, int channels, bool last, std::vector<std::int16_t>& out);

private:
    int sourceRate_;
    std::unique_ptr<SampleRateConverter> converter_;  // none at 44100 Hz
    std::uint64_t framesIn_ = 0;   // input frames handed to the converter
    std::uint64_t framesOut_ = 0;  // output frames made
    std::vector<std::int16_t> left_, right_;  // input frames not yet taken by the converter
    std::vector<std::int16_t> convertedLeft_, convertedRight_;
};

}  // namespace tellavine::audio
