#pragma once
// A caption's font as the Windows LOGFONT record it is stored as (60 bytes: five
// 32-bit fields, eight bytes, a 32-byte face name). Kept byte-exact so project files
// round-trip; drawing maps it to a real font.

#include <array>
#include <cstdint>
#include <string>

namespace tellavine {

struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char, 32> faceName{};  // NUL-terminated, zero-filled

    static constexpr std::size_t kRecordSize = 60;

    std::string face() const;
    void setFace(const std::string& name);  // cut to 31 bytes

    // "Comic Sans MS", height -16, weight 800, ANSI charset, stroke output and clip
    // precision, draft quality, variable pitch, Swiss family.
    static LogFont captionDefault();

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// Windows constants the default font and font mapping use.
namespace logfont {
inline constexpr std::uint8_t kAnsiCharset = 0;
inline constexpr std::uint8_t kOutStrokePrecision = 3;
inline constexpr std::uint8_t kClipStrokePrecision = 2;
inline constexpr std::uint8_t kDraftQuality = 1;
inline constexpr std::uint8_t kVariablePitch = 2;
inline constexpr std::uint8_t kFamilySwiss = 0x20;
}  // namespace logfont

}  // namespace tellavine
