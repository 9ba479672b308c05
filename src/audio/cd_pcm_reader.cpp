#include "audio/cd_pcm_reader.h"

#include <algorithm>

namespace tellavine::audio {

CdPcmReader::OpenResult CdPcmReader::open(const std::string& path) {
    owned_ = File::open(path, "rb");
    if (!owned_) return OpenResult::CannotOpen;
    file_ = owned_.get();
    return examine();
}

CdPcmReader::OpenResult CdPcmReader::open(std::FILE* file) {
    owned_.discard();
    file_ = file;
    return examine();
}

CdPcmReader::OpenResult CdPcmReader::examine() {
    const auto layout = readWavLayout(file_);
    if (!layout) return OpenResult::NotWav;
    layout_ = *layout;
    if (!isPlayablePcm(layout_.format)) return OpenResult::Unsupported;
    encoding_ = pcmEncodingOf(layout_.format);
    return rewind() ? OpenResult::Ok : OpenResult::CannotOpen;
}

bool CdPcmReader::rewind() {
    if (!file_ || std::fseek(file_, static_cast<long>(layout_.dataOffset), SEEK_SET) != 0) {
        readFailed_ = true;
        return false;
    }
    if (layout_.format.sampleRate != kSampleRate) {
        converter_ = std::make_unique<SampleRateConverter>(
            static_cast<double>(kSampleRate) / layout_.format.sampleRate, kChannels);
    }
    dataRead_ = framesIn_ = framesOut_ = 0;
    left_.clear();
    right_.clear();
    ready_.clear();
    readyHead_ = 0;
    dataEnded_ = false;
    readFailed_ = false;
    return true;
}

std::size_t CdPcmReader::read(std::span<std::int16_t> values) {
    const std::size_t wanted = values.size() / kChannels * kChannels;
    std::size_t given = 0;
    while (given < wanted) {
        if (readyHead_ == ready_.size()) {
            ready_.clear();
            readyHead_ = 0;
            if (dataEnded_) break;
            produceMore();
            continue;
        }
        const std::size_t take = std::min(wanted - given, ready_.size() - readyHead_);
        std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyHead_), take, values.begin() + static_cast<std::ptrdiff_t>(given));
        readyHead_ += take;
        given += take;
    }
    return given;
}

void CdPcmReader::produceMore() {
    const auto channels = static_cast<std::size_t>(layout_.format.channels);
    const auto sampleBytes = static_cast<std::size_t>(pcmSampleBytes(encoding_));
    const std::size_t frameBytes = channels * sampleBytes;
    const std::uint64_t left = layout_.dataLength - dataRead_;
    // A partial frame at the end of the data is no sound.
    const std::size_t frames = static_cast<std::size_t>(std::min<std::uint64_t>(left / frameBytes, kBlockFrames));
    raw_.resize(frames * frameBytes);
    const std::size_t got = frames > 0 ? std::fread(raw_.data(), 1, raw_.size(), file_) : 0;
    if (got < raw_.size()) readFailed_ = std::ferror(file_) != 0;
    dataRead_ += got;
    const std::size_t framesGot = got / frameBytes;
    const bool lastBlock = framesGot < kBlockFrames || dataRead_ + frameBytes > layout_.dataLength;

    for (std::size_t frame = 0; frame < framesGot; ++frame) {
        const std::uint8_t* at = raw_.data() + frame * frameBytes;
        const std::int16_t l = toPcm16(encoding_, at);
        const std::int16_t r = channels == 2 ? toPcm16(encoding_, at + sampleBytes) : l;
        left_.push_back(l);
        right_.push_back(r);
    }
    appendConverted(framesGot, lastBlock);
    if (lastBlock) dataEnded_ = true;
}

void CdPcmReader::appendConverted(std::size_t inputFrames, bool lastBlock) {
    framesIn_ += inputFrames;
    if (!converter_) {
        for (std::size_t i = 0; i < left_.size(); ++i) {
            ready_.push_back(left_[i]);
            ready_.push_back(right_[i]);
        }
        left_.clear();
        right_.clear();
        return;
    }
    // Output follows the input exactly in time: n input frames make n x 44100 / rate
    // output frames overall. Until the data ends, only outputs whose input is all here
    // are made, so block boundaries leave no trace in the sound.
    const std::uint64_t target = framesIn_ * kSampleRate / static_cast<std::uint64_t>(layout_.format.sampleRate);
    std::size_t wanted = static_cast<std::size_t>(target - framesOut_);
    if (!lastBlock) wanted = std::min(wanted, converter_->outputsWithoutHolding(left_.size()));
    convertedLeft_.resize(wanted);
    convertedRight_.resize(wanted);
    std::size_t taken = left_.size();
    const std::int16_t* input[] = {left_.data(), right_.data()};
    std::int16_t* output[] = {convertedLeft_.data(), convertedRight_.data()};
    converter_->convert(taken, wanted, input, output);
    left_.erase(left_.begin(), left_.begin() + static_cast<std::ptrdiff_t>(taken));
    right_.erase(right_.begin(), right_.begin() + static_cast<std::ptrdiff_t>(taken));
    if (lastBlock) {
        left_.clear();
        right_.clear();
    }
    framesOut_ += wanted;
    for (std::size_t i = 0; i < wanted; ++i) {
        ready_.push_back(convertedLeft_[i]);
        ready_.push_back(convertedRight_[i]);
    }
}

}  // namespace tellavine::audio
