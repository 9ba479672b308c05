#include "audio/mp3_pcm_reader.h"

#include "audio/id3v2_tag.h"

#include <algorithm>

namespace tellavine::audio {

bool Mp3PcmReader::open(const std::string& path) {
    const std::size_t tagSize = id3v2TagSize(path);
    file_ = File::open(path, "rb");
    if (!file_) return false;
    if (tagSize > 0 && std::fseek(file_.get(), static_cast<long>(tagSize), SEEK_SET) != 0) return false;
    input_ = std::make_unique<Mp3InputWindow>(file_.get());
    first_ = nextFrame(*input_, FrameFilter{}, true, kMaxSkippedBytes);
    if (first_ && isXingFrame(*first_, input_->view().first(first_->frameLength))) {
        // The Xing/Info frame describes the stream and carries no sound.
        input_->consume(first_->frameLength);
        first_ = nextFrame(*input_, FrameFilter{}, true, kMaxSkippedBytes);
    }
    if (!first_ || !decoder_.init(*first_)) return false;
    stream_ = std::make_unique<CdRateStream>(decoder_.output().sampleRate);
    pcm_.resize(MpegAudioDecoder::kMaxFramePcmBytes);
    return true;
}

std::size_t Mp3PcmReader::read(std::span<std::int16_t> values) {
    const std::size_t wanted = values.size() / 2 * 2;
    std::size_t given = 0;
    while (given < wanted && stream_) {
        if (readyHead_ == ready_.size()) {
            ready_.clear();
            readyHead_ = 0;
            if (ended_) break;
            produceMore();
            continue;
        }
        const std::size_t take = std::min(wanted - given, ready_.size() - readyHead_);
        std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyHead_), take,
                    values.begin() + static_cast<std::ptrdiff_t>(given));
        readyHead_ += take;
        given += take;
    }
    return given;
}

void Mp3PcmReader::produceMore() {
    const int channels = decoder_.output().channels;
    const FrameFilter sameStream{false, &*first_};
    const auto frame = nextFrame(*input_, sameStream, false, kMaxSkippedBytes);
    FrameDecodeResult step;
    if (frame) step = decoder_.decodeFrame(input_->view().first(frame->frameLength), pcm_);
    if (!frame || !step.ok || step.consumed == 0) {
        // The end of the music (a frame the decoder cannot take ends it too).
        failed_ = input_->readFailed();
        ended_ = true;
        if (!failed_) stream_->append({}, channels, true, ready_);
        return;
    }
    input_->consume(step.consumed);
    std::span<const std::uint8_t> sound = std::span(pcm_).first(step.produced);
    const auto dropped = static_cast<std::size_t>(std::min<std::uint64_t>(skipBytes_, sound.size()));
    skipBytes_ -= dropped;
    stream_->append(sound.subspan(dropped), channels, false, ready_);
}

}  // namespace tellavine::audio
