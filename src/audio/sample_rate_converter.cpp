#include "audio/sample_rate_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tellavine::audio {

SampleRateConverter::SampleRateConverter(double factor, int channels)
    : factor_(factor > 0 ? factor : 1.0), channels_(std::clamp(channels, 1, kMaxChannels)) {
    step_ = static_cast<std::uint32_t>(static_cast<double>(kOne) / factor_ + 0.5);
    if (step_ == 0) step_ = 1;
    const auto perWindow = static_cast<std::size_t>(factor_ * kWindow);
    const auto perMargin = static_cast<std::size_t>(factor_ * 2 * kHistory);
    outputsPerPass_ = std::max<std::size_t>(perWindow > perMargin ? perWindow - perMargin : 1, 1);
    // History starts as silence: the first output falls on the first real input sample.
    for (int channel = 0; channel < channels_; ++channel) window_[channel].assign(kCapacity, 0);
}

std::int16_t SampleRateConverter::sampleAt(int channel, std::size_t index) const {
    // Past the input given so far the last sample is held.
    return window_[channel][std::min(index, filled_ - 1)];
}

void SampleRateConverter::shiftOutConsumed() {
    std::size_t now = position_ >> kFractionBits;
    if (now > filled_) {
        // Held outputs went past the input: stand the held value in for the samples they
        // covered and drop the real ones when they arrive. The sample at `now` is still
        // to come and will be real.
        const std::size_t end = std::min(now, kCapacity);
        for (int channel = 0; channel < channels_; ++channel) {
            std::fill(window_[channel].begin() + static_cast<std::ptrdiff_t>(filled_),
                      window_[channel].begin() + static_cast<std::ptrdiff_t>(end), window_[channel][filled_ - 1]);
        }
        owedInput_ += end - filled_;
        filled_ = end;
        now = end;
    }
    if (now <= kHistory) return;
    const std::size_t drop = now - kHistory;
    for (int channel = 0; channel < channels_; ++channel) {
        std::memmove(window_[channel].data(), window_[channel].data() + drop, (filled_ - drop) * sizeof(std::int16_t));
    }
    filled_ -= drop;
    position_ -= static_cast<std::uint32_t>(drop) << kFractionBits;
}

std::size_t SampleRateConverter::outputsWithoutHolding(std::size_t newInput) const {
    const std::size_t arriving = newInput > owedInput_ ? newInput - owedInput_ : 0;
    // Output k needs the samples at (position + k x step) >> 15 and the one after it.
    const std::uint64_t lastNeeded = static_cast<std::uint64_t>(filled_ + arriving);
    if (lastNeeded < 1) return 0;
    const std::uint64_t limit = (lastNeeded - 1) << kFractionBits;
    if (limit <= position_) return 0;
    return static_cast<std::size_t>((limit - position_ + step_ - 1) / step_);
}

void SampleRateConverter::convert(std::size_t& inCount, std::size_t wanted,
                                  std::span<const std::int16_t* const> input,
                                  std::span<std::int16_t* const> output) {
    const std::size_t available = inCount;
    std::size_t taken = 0;
    std::size_t produced = 0;
    if (input.size() < static_cast<std::size_t>(channels_) || output.size() < static_cast<std::size_t>(channels_)) {
        inCount = 0;
        return;
    }
    while (produced < wanted) {
        const std::size_t owed = std::min(owedInput_, available - taken);
        owedInput_ -= owed;
        taken += owed;
        const std::size_t fresh = std::min(kCapacity - filled_, available - taken);
        for (int channel = 0; channel < channels_; ++channel) {
            std::memcpy(window_[channel].data() + filled_, input[channel] + taken, fresh * sizeof(std::int16_t));
        }
        filled_ += fresh;
        taken += fresh;
        const bool inputLeft = taken < available;

        std::size_t made = 0;
        while (produced + made < wanted && made < outputsPerPass_) {
            const std::size_t index = position_ >> kFractionBits;
            if (index + 1 >= filled_ && inputLeft) break;
            const auto fraction = static_cast<std::int32_t>(position_ & (kOne - 1));
            for (int channel = 0; channel < channels_; ++channel) {
                const std::int32_t x0 = sampleAt(channel, index);
                const std::int32_t x1 = sampleAt(channel, index + 1);
                const std::int32_t value =
                    (fraction * x1 + (static_cast<std::int32_t>(kOne) - fraction) * x0 + (1 << (kFractionBits - 1))) >>
                    kFractionBits;
                output[channel][produced + made] = static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
            }
            position_ += step_;
            ++made;
        }
        produced += made;
        shiftOutConsumed();
        if (made == 0) break;  // a full window always allows a pass; never spin
    }
    inCount = taken;
}

}  // namespace tellavine::audio
