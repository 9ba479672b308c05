#include "imaging/exif_date.h"

#include "platform/regular_file.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <vector>

namespace tellavine {
namespace {

constexpr std::size_t kHeadBytes = 256 * 1024;  // EXIF sits in the first APP1 segment (< 64 KiB)
constexpr unsigned kExifIfdTag = 0x8769;
constexpr unsigned kDateTimeTag = 0x0132;
constexpr unsigned kDateTimeOriginalTag = 0x9003;
constexpr unsigned kDateTimeDigitizedTag = 0x9004;
constexpr unsigned kAsciiType = 2;
constexpr unsigned kLongType = 4;
constexpr std::size_t kDateLength = 19;  // "YYYY:MM:DD HH:MM:SS"

class TiffView {
public:
    explicit TiffView(std::span<const std::uint8_t> data) : data_(data) {
        little_ = data.size() >= 2 && data[0] == 'I' && data[1] == 'I';
        valid_ = data.size() >= 8 && (little_ || (data[0] == 'M' && data[1] == 'M')) && u16(2) == 42;
    }
    bool valid() const { return valid_; }
    unsigned u16(std::size_t at) const {
        if (at > data_.size() || data_.size() - at < 2) return 0;
        return little_ ? data_[at] | data_[at + 1] << 8 : data_[at] << 8 | data_[at + 1];
    }
    std::uint32_t u32(std::size_t at) const {
        const std::uint32_t first = u16(at), second = u16(at + 2);
        return little_ ? first | second << 16 : first << 16 | second;
    }

    // The offset of the 12-byte entry of `tag` in the IFD at `ifd`, or 0.
    std::size_t findEntry(std::size_t ifd, unsigned tag) const {
        if (ifd < 8 || ifd >= data_.size()) return 0;
        const unsigned count = u16(ifd);
        for (unsigned i = 0; i < count; ++i) {
            const std::size_t entry = ifd + 2 + i * 12u;
            if (entry + 12 > data_.size()) return 0;
            if (u16(entry) == tag) return entry;
        }
        return 0;
    }

    std::optional<std::string> dateAt(std::size_t ifd, unsigned tag) const {
        const std::size_t entry = findEntry(ifd, tag);
        if (entry == 0 || u16(entry + 2) != kAsciiType || u32(entry + 4) < kDateLength) return std::nullopt;
        const std::size_t at = u32(entry + 8);  // 20 bytes never fit in the entry itself
        if (at > data_.size() || data_.size() - at < kDateLength) return std::nullopt;
        std::string text(reinterpret_cast<const char*>(data_.data() + at), kDateLength);
        for (std::size_t i = 0; i < kDateLength; ++i) {
            const bool separator = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
            const char expected = i == 10 ? ' ' : ':';
            if (separator ? text[i] != expected : !std::isdigit(static_cast<unsigned char>(text[i]))) {
                return std::nullopt;
            }
        }
        if (text == "0000:00:00 00:00:00") return std::nullopt;
        return text;
    }

private:
    std::span<const std::uint8_t> data_;
    bool little_ = false;
    bool valid_ = false;
};

// The payload of the JPEG's EXIF APP1 segment, after "Exif\0\0"; empty when none.
std::span<const std::uint8_t> jpegExifBlock(std::span<const std::uint8_t> data) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
    std::size_t at = 2;
    while (at + 4 <= data.size() && data[at] == 0xFF) {
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xD9 || marker == 0xDA) break;  // end of image, start of scan
        const std::size_t length = data[at + 2] << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > data.size()) break;
        const auto payload = data.subspan(at + 4, length - 2);
        static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && payload.size() >= 6 && std::equal(kExif, kExif + 6, payload.begin())) {
            return payload.subspan(6);
        }
        at += 2 + length;
    }
    return {};
}

}  // namespace

std::optional<std::string> exifDateFromTiff(std::span<const std::uint8_t> tiff) {
    const TiffView view(tiff);
    if (!view.valid()) return std::nullopt;
    const std::size_t ifd0 = view.u32(4);
    if (const std::size_t exif = view.findEntry(ifd0, kExifIfdTag); exif != 0 && view.u16(exif + 2) == kLongType) {
        const std::size_t exifIfd = view.u32(exif + 8);
        if (auto date = view.dateAt(exifIfd, kDateTimeOriginalTag)) return date;
        if (auto date = view.dateAt(exifIfd, kDateTimeDigitizedTag)) return date;
    }
    return view.dateAt(ifd0, kDateTimeTag);
}

std::optional<std::string> exifDateTaken(const std::string& path) {
    RegularFile file = RegularFile::open(path);
    if (!file.isOpen()) return std::nullopt;
    std::vector<std::uint8_t> head(std::min<std::uint64_t>(file.size(), kHeadBytes));
    std::size_t filled = 0;
    while (filled < head.size()) {
        const ssize_t got = ::read(file.fd(), head.data() + filled, head.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    head.resize(filled);
    const std::span<const std::uint8_t> bytes(head);
    if (const auto block = jpegExifBlock(bytes); !block.empty()) return exifDateFromTiff(block);
    return exifDateFromTiff(bytes);
}

}  // namespace tellavine
