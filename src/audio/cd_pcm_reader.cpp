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
    return rewindTo(0);
}

std::uint64_t CdPcmReader::frameBytes() const {
    return static_cast<std::uint64_t>(layout_.format.channels) * static_cast<std::uint64_t>(pcmSampleBytes(encoding_));
}

bool CdPcmReader::rewindTo(std::uint64_t frame) {
    const std::uint64_t bytes = frameBytes();
    const std::uint64_t skipped = std::min(frame * bytes, layout_.dataLength / bytes * bytes);
    if (!file_ || std::fseek(file_, static_cast<long>(layout_.dataOffset + skipped), SEEK_SET) != 0) {
        readFailed_ = true;
        return false;
    }
    stream_ = std::make_unique<CdRateStream>(layout_.format.sampleRate);
    dataRead_ = skipped;
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
    if (encoding_ == PcmEncoding::Signed16) {
        stream_->append(std::span(raw_).first(framesGot * frameBytes), layout_.format.channels, lastBlock, ready_);
    } else {
        // Other encodings become 16-bit samples before the rate stream.
        pcm16_.resize(framesGot * channels * 2);
        for (std::size_t sample = 0; sample < framesGot * channels; ++sample) {
            const auto value = static_cast<std::uint16_t>(toPcm16(encoding_, raw_.data() + sample * sampleBytes));
            pcm16_[sample * 2] = static_cast<std::uint8_t>(value & 0xFF);
            pcm16_[sample * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
        }
        stream_->append(pcm16_, layout_.format.channels, lastBlock, ready_);
    }
    if (lastBlock) dataEnded_ = true;
}

}  // namespace tellavine::audio
