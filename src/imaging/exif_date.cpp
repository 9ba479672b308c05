#include "imaging/exif_date.h"

#include "platform/regular_file.h"

#include <cctype>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace tellavine {
namespace {

constexpr std::size_t kDateSearchBytes = 256 * 1024;
constexpr std::uint16_t kExifIfdPointer = 0x8769;
constexpr std::uint16_t kDateTimeOriginal = 0x9003;
constexpr std::uint16_t kAsciiType = 2;
constexpr std::uint16_t kLongType = 4;
constexpr std::size_t kDateLength = 19;  // "YYYY:MM:DD HH:MM:SS"

class TiffBlock {
public:
    explicit TiffBlock(std::span<const std::uint8_t> data)
        : data_(data), little_(data.size() >= 2 && data[0] == 'I' && data[1] == 'I') {}

    bool valid() const {
        return data_.size() >= 8 && (little_ || (data_[0] == 'M' && data_[1] == 'M')) && u16(2) == 42;
    }
    std::uint32_t u16(std::size_t at) const {
        if (at + 2 > data_.size()) return 0;
        return little_ ? data_[at] | data_[at + 1] << 8 : data_[at] << 8 | data_[at + 1];
    }
    std::uint32_t u32(std::size_t at) const {
        return little_ ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
    }
    // The offset of the 12-byte entry of `tag` in the directory at `ifd`; 0 when absent.
    std::size_t findEntry(std::size_t ifd, std::uint16_t tag) const {
        if (ifd == 0 || ifd + 2 > data_.size()) return 0;
        const std::uint32_t count = u16(ifd);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = ifd + 2 + i * 12u;
            if (entry + 12 > data_.size()) return 0;
            if (u16(entry) == tag) return entry;
        }
        return 0;
    }
    std::span<const std::uint8_t> bytes(std::size_t at, std::size_t count) const {
        if (at > data_.size() || count > data_.size() - at) return {};
        return data_.subspan(at, count);
    }

private:
    std::span<const std::uint8_t> data_;
    bool little_;
};

bool isDate(const std::string& text) {
    static const char pattern[] = "dddd:dd:dd dd:dd:dd";
    for (std::size_t i = 0; i < kDateLength; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return text.compare(0, 4, "0000") != 0;  // cameras without a clock write zeros
}

// The EXIF block of a JPEG: the APP1 segment that starts "Exif\0\0", before the scan.
std::span<const std::uint8_t> jpegExifBlock(std::span<const std::uint8_t> data) {
    std::size_t pos = 2;
    while (pos + 4 <= data.size() && data[pos] == 0xFF) {
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xDA || marker == 0xD9) break;  // the picture data starts
        const std::size_t length = data[pos + 2] << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > data.size()) break;
        if (marker == 0xE1 && length >= 8 && std::memcmp(&data[pos + 4], "Exif\0\0", 6) == 0) {
            return data.subspan(pos + 10, length - 8);
        }
        pos += 2 + length;
    }
    return {};
}

}  // namespace

std::string exifDateTaken(std::span<const std::uint8_t> tiffBlock) {
    const TiffBlock tiff(tiffBlock);
    if (!tiff.valid()) return {};
    const std::size_t pointer = tiff.findEntry(tiff.u32(4), kExifIfdPointer);
    if (pointer == 0 || tiff.u16(pointer + 2) != kLongType) return {};
    const std::size_t entry = tiff.findEntry(tiff.u32(pointer + 8), kDateTimeOriginal);
    if (entry == 0 || tiff.u16(entry + 2) != kAsciiType || tiff.u32(entry + 4) < kDateLength) return {};
    const auto text = tiff.bytes(tiff.u32(entry + 8), kDateLength);
    if (text.size() != kDateLength) return {};
    std::string date(text.begin(), text.end());
    return isDate(date) ? date : std::string();
}

std::string pictureDateTaken(const std::string& path) {
    RegularFile file = RegularFile::open(path);
    if (!file.isOpen()) return {};
    std::vector<std::uint8_t> head(kDateSearchBytes);
    std::size_t filled = 0;
    while (filled < head.size()) {
        const ssize_t got = ::read(file.fd(), head.data() + filled, head.size() - filled);
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    const std::span<const std::uint8_t> data(head.data(), filled);
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return exifDateTaken(jpegExifBlock(data));
    }
    return exifDateTaken(data);  // a TIFF file is itself the block
}

}  // namespace tellavine
