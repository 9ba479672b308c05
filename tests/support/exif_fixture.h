#pragma once
// The head of a camera JPEG: SOI, an APP1 EXIF block whose Exif directory holds a date
// taken (DateTimeOriginal), and EOI. Enough for whatever reads the date; no picture.

#include <cstdint>
#include <string>

namespace tellavine::testing {

inline std::string jpegWithDateTaken(const std::string& date, bool bigEndian = false) {
    std::string tiff;
    auto u16 = [&](std::uint16_t v) {
        const char a = static_cast<char>(v & 0xFF), b = static_cast<char>(v >> 8);
        tiff += bigEndian ? std::string{b, a} : std::string{a, b};
    };
    auto u32 = [&](std::uint32_t v) {
        if (bigEndian) { u16(static_cast<std::uint16_t>(v >> 16)); u16(static_cast<std::uint16_t>(v)); }
        else { u16(static_cast<std::uint16_t>(v)); u16(static_cast<std::uint16_t>(v >> 16)); }
    };
    tiff += bigEndian ? "MM" : "II";
    u16(42);
    u32(8);                      // IFD0 at 8: one entry, the Exif directory pointer
    u16(1);
    u16(0x8769); u16(4); u32(1); u32(26);
    u32(0);
    u16(1);                      // Exif directory at 26: DateTimeOriginal, 20 bytes at 44
    u16(0x9003); u16(2); u32(20); u32(44);
    u32(0);
    tiff += date;
    tiff.resize(44 + 20, '\0');
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = payload.size() + 2;
    return std::string("\xFF\xD8\xFF\xE1", 4) + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) +
           payload + std::string("\xFF\xD9", 2);
}

}  // namespace tellavine::testing
