#include "audio/cd_rate_stream.h"

namespace tellavine::audio {

CdRateStream::CdRateStream(int sourceRate) : sourceRate_(sourceRate > 0 ? sourceRate : kSampleRate) {
    if (sourceRate_ != kSampleRate) {
        converter_ = std::make_unique<SampleRateConverter>(static_cast<double>(kSampleRate) / sourceRate_, 2);
    }
}

void CdRateStream::append(std::span<const std::uint8_t> pcm, int channels, bool last, std::vector<std::int16_t>& out) {
    const std::size_t frameBytes = channels == 1 ? 2 : 4;
    const std::size_t frames = pcm.size() / frameBytes;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const std::uint8_t* at = pcm.data() + frame * frameBytes;
        const auto l = static_cast<std::int16_t>(at[0] | (at[1] << 8));
        const auto r = frameBytes == 4 ? static_cast<std::int16_t>(at[2] | (at[3] << 8)) : l;
        left_.push_back(l);
        right_.push_back(r);
    }
    framesIn_ += frames;
    if (!converter_) {
        for (std::size_t i = 0; i < left_.size(); ++i) {
            out.push_back(left_[i]);
            out.push_back(right_[i]);
        }
        left_.clear();
        right_.clear();
        return;
    }
    // Until the input ends, only outputs whose input is all here are made, so the
    // boundaries between pieces leave no trace in the sound.
    const std::uint64_t target = framesIn_ * kSampleRate / static_cast<std::uint64_t>(sourceRate_);
    std::size_t wanted = static_cast<std::size_t>(target - framesOut_);
    if (!last) wanted = std::min(wanted, converter_->outputsWithoutHolding(left_.size()));
    convertedLeft_.resize(wanted);
    convertedRight_.resize(wanted);
    std::size_t taken = left_.size();
    const std::int16_t* input[] = {left_.data(), right_.data()};
    std::int16_t* output[] = {convertedLeft_.data(), convertedRight_.data()};
    converter_->convert(taken, wanted, input, output);
    left_.erase(left_.begin(), left_.begin() + static_cast<std::ptrdiff_t>(taken));
    right_.erase(right_.begin(), right_.begin() + static_cast<std::ptrdiff_t>(taken));
    if (last) {
        left_.clear();
        right_.clear();
    }
    framesOut_ += wanted;
    for (std::size_t i = 0; i < wanted; ++i) {
        out.push_back(convertedLeft_[i]);
        out.push_back(convertedRight_[i]);
    }
}

}  // namespace tellavine::audio
