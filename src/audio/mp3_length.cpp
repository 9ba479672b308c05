#include "audio/mp3_length.h"

#include "audio/id3v2_tag.h"
#include "audio/mp3_input.h"
#include "platform/cd_geometry.h"
#include "platform/file.h"

#include <limits>

namespace tellavine::audio {
namespace {

// Junk between frames beyond this ends the search (a file that is no MP3 at all).
constexpr std::size_t kMaxSkippedBytes = 409600;
constexpr std::uint64_t kBytesPerSecond = 176400;

std::uint64_t roundUp(std::uint64_t value, std::uint64_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

}  // namespace

std::optional<std::int32_t> measureMp3Stream(std::FILE* file) {
    Mp3InputWindow input(file);
    std::optional<MpegAudioHeader> first;
    std::uint64_t frames = 0;
    std::size_t skipped = 0;
    while (true) {
        const auto bytes = input.view();
        if (bytes.size() < 4) break;
        const FrameFilter filter{false, first ? &*first : nullptr};
        const auto header = acceptedFrame(bytes, filter);
        if (!header || (!first && !confirmedByNextFrame(bytes, *header, filter))) {
            input.consume(1);
            if (++skipped > kMaxSkippedBytes) break;
            continue;
        }
        if (bytes.size() < header->frameLength) break;  // a cut-off last frame
        if (!first) first = header;
        ++frames;
        skipped = 0;
        input.consume(header->frameLength);
    }
    if (!first || input.readFailed()) return std::nullopt;

    // Mono is counted as the stereo it is played as.
    const std::uint64_t decodedBytes = frames * static_cast<std::uint64_t>(first->samplesPerFrame()) * 2 * 2;
    const auto rate = static_cast<std::uint64_t>(first->sampleRate);
    const std::uint64_t at44k = (decodedBytes * 44100 + rate / 2) / rate;
    const std::uint64_t length = roundUp(roundUp(at44k, kRawSectorSize), kBytesPerSecond);
    // Hours beyond any disc are kept at the longest whole-second length the model holds.
    constexpr std::uint64_t kLongest =
        std::numeric_limits<std::int32_t>::max() / kBytesPerSecond * kBytesPerSecond;
    return static_cast<std::int32_t>(std::min(length, kLongest));
}

std::optional<std::int32_t> measureMp3Length(const std::string& path) {
    const std::size_t tagSize = id3v2TagSize(path);
    File file = File::open(path, "rb");
    if (!file) return std::nullopt;
    if (tagSize > 0 && std::fseek(file.get(), static_cast<long>(tagSize), SEEK_SET) != 0) return std::nullopt;
    return measureMp3Stream(file.get());
}

}  // namespace tellavine::audio
