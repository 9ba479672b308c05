#pragma once
// A JPEG file with an EXIF block that records when the photo was taken: the block
// (IFD0 pointing at an EXIF IFD with DateTimeOriginal, big-endian) goes into an APP1
// segment right after the file's start marker.

#include <cstdint>
#include <string>

namespace tellavine::testing {

inline std::string withExifDate(const std::string& jpeg, const std::string& dateTaken) {
    std::string tiff = "MM";
    auto u16 = [&](unsigned v) { tiff += static_cast<char>(v >> 8), tiff += static_cast<char>(v & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v >> 16), u16(v & 0xFFFF); };
    const std::uint32_t exifIfd = 8 + 2 + 12 + 4;
    const std::uint32_t dateAt = exifIfd + 2 + 12 + 4;
    u16(42), u32(8);
    u16(1), u16(0x8769), u16(4), u32(1), u32(exifIfd), u32(0);                                       // IFD0
    u16(1), u16(0x9003), u16(2), u32(static_cast<std::uint32_t>(dateTaken.size() + 1)), u32(dateAt), u32(0);  // EXIF IFD
    tiff += dateTaken;
    tiff += '\0';
    const std::size_t length = 2 + 6 + tiff.size();
    std::string segment = "\xFF\xE1";
    segment += static_cast<char>(length >> 8);
    segment += static_cast<char>(length & 0xFF);
    segment += std::string("Exif\0\0", 6) + tiff;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

}  // namespace tellavine::testing
