#include "audio/mp3_input.h"

#include <cstring>

namespace tellavine::audio {

Mp3InputWindow::Mp3InputWindow(std::FILE* file) : file_(file), buffer_(kSize) {}

std::span<const std::uint8_t> Mp3InputWindow::view() {
    if (end_ - begin_ < kRefillBelow && !fileEnded_) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        while (end_ < buffer_.size() && !fileEnded_) {
            const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
            end_ += got;
            if (got == 0) {
                fileEnded_ = true;
                readFailed_ = std::ferror(file_) != 0;
            }
        }
    }
    return {buffer_.data() + begin_, end_ - begin_};
}

void Mp3InputWindow::consume(std::size_t count) {
    begin_ += std::min(count, end_ - begin_);
}

std::optional<MpegAudioHeader> acceptedFrame(std::span<const std::uint8_t> bytes, const FrameFilter& filter) {
    auto header = parseMpegAudioHeader(bytes);
    if (!header) return std::nullopt;
    if (filter.layerThreeOnly && (header->layer != 3 || header->version == MpegVersion::Mpeg25)) {
        return std::nullopt;
    }
    if (const auto* first = filter.sameAs) {
        if (header->version != first->version || header->layer != first->layer ||
            header->sampleRate != first->sampleRate || header->channels() != first->channels()) {
            return std::nullopt;
        }
    }
    return header;
}

bool confirmedByNextFrame(std::span<const std::uint8_t> bytes, const MpegAudioHeader& header,
                          const FrameFilter& filter) {
    if (bytes.size() < header.frameLength) return false;
    const auto next = bytes.subspan(header.frameLength);
    if (next.size() < 4) return true;  // the window shows the file's end
    return acceptedFrame(next, {filter.layerThreeOnly, &header}).has_value();
}

std::optional<MpegAudioHeader> nextFrame(Mp3InputWindow& input, const FrameFilter& filter, bool confirm,
                                         std::size_t maxSkipped) {
    for (std::size_t skipped = 0;; ++skipped) {
        const auto bytes = input.view();
        if (bytes.size() < 4 || skipped > maxSkipped) return std::nullopt;
        if (auto header = acceptedFrame(bytes, filter)) {
            if (bytes.size() < header->frameLength) return std::nullopt;
            if (!confirm || confirmedByNextFrame(bytes, *header, filter)) return header;
        }
        input.consume(1);
    }
}

}  // namespace tellavine::audio
