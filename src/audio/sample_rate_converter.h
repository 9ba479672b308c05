#pragma once
// Sample-rate conversion of 16-bit sound by linear interpolation in fixed point (the
// fast mode of bandlimited-interpolation resampling): good enough to bring music to
// 44100 Hz, cheap enough for the playback thread. One converter per stream; it keeps
// its input history between blocks, so consecutive blocks join without clicks.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tellavine::audio {

class SampleRateConverter {
public:
    static constexpr int kMaxChannels = 2;

    // `factor` is output rate / input rate; `channels` is 1 or 2.
    SampleRateConverter(double factor, int channels);

    // Makes exactly `wanted` output samples per channel from the planar `input` blocks
    // (one pointer per channel, `inCount` samples each) into `output` (one pointer per
    // channel, room for `wanted`). On return `inCount` holds how many input samples per
    // channel were taken; the caller hands the rest in again with the next block. When
    // the input runs out first, the last sample is held for the missing outputs and the
    // same number of later input samples is dropped, so the time base never drifts.
    void convert(std::size_t& inCount, std::size_t wanted, std::span<const std::int16_t* const> input,
                 std::span<std::int16_t* const> output);

    // How many outputs `newInput` more input samples per channel allow before the
    // converter would have to hold the last sample. A streaming caller asks for this many
    // while more input is to come, and for the rest once the input has ended; the result
    // is then the same however the input is cut into blocks.
    std::size_t outputsWithoutHolding(std::size_t newInput) const;

    double factor() const { return factor_; }

private:
    static constexpr int kFractionBits = 15;
    static constexpr std::uint32_t kOne = 1u << kFractionBits;
    static constexpr std::size_t kHistory = 10;
    static constexpr std::size_t kWindow = 4096;
    static constexpr std::size_t kCapacity = kWindow + kHistory;

    std::int16_t sampleAt(int channel, std::size_t index) const;
    void shiftOutConsumed();

    double factor_;
    int channels_;
    std::uint32_t step_;            // input advance per output, 15 fractional bits
    std::size_t outputsPerPass_;    // keeps each pass inside the window
    std::vector<std::int16_t> window_[kMaxChannels];
    std::size_t filled_ = kHistory;  // samples in the window, history included
    std::uint32_t position_ = kHistory * kOne;  // input position of the next output
    std::size_t owedInput_ = 0;      // input samples already covered by held outputs
};

}  // namespace tellavine::audio
