#pragma once
// The geometry every part of the program shares with a CD: sector sizes, 75 sectors
// (frames) a second, and minute/second/frame times in binary-coded decimal. Sector
// address 0 (lsn 0 of an image, the first sector of the program area) lies behind the
// two-second pregap of track 1, at the absolute time 00:02:00.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tellavine {

inline constexpr std::size_t kRawSectorSize = 2352;  // sync, header and body as burned
inline constexpr std::size_t kMode2BodySize = 2336;  // a Mode 2 sector after sync and header
inline constexpr std::size_t kForm1DataSize = 2048;  // user data of a Mode 2 Form 1 sector
inline constexpr std::size_t kForm2DataSize = 2324;  // user data of a Mode 2 Form 2 sector

inline constexpr int kFramesPerSecond = 75;
inline constexpr int kFramesPerMinute = 60 * kFramesPerSecond;
inline constexpr int kPregapFrames = 150;  // the absolute time of address 0

struct Msf {
    int minute = 0;
    int second = 0;
    int frame = 0;
};

inline constexpr int framesOf(const Msf& time) {
    return time.minute * kFramesPerMinute + time.second * kFramesPerSecond + time.frame;
}

inline constexpr Msf msfOf(int frames) {
    return {frames / kFramesPerMinute, (frames / kFramesPerSecond) % 60, frames % kFramesPerSecond};
}

// Two decimal digits in one byte; values outside 0..99 are kept unchanged (the
// sub-channel's AAh and A0h-A2h points).
inline constexpr std::uint8_t toBcd(int value) {
    return value > 99 || value < 0 ? static_cast<std::uint8_t>(value)
                                   : static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

inline constexpr int fromBcd(std::uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); }

// The inverse of toBcd: a byte whose high digit is not decimal is kept as it is.
inline constexpr int fromBcdOrRaw(std::uint8_t value) { return (value >> 4) > 9 ? value : fromBcd(value); }

// A time in frames as the three BCD bytes of a sector header or a VCD control file.
inline constexpr std::array<std::uint8_t, 3> bcdMsfOf(int frames) {
    const Msf time = msfOf(frames);
    return {toBcd(time.minute), toBcd(time.second), toBcd(time.frame)};
}

// The frames of a time kept as three BCD bytes.
inline constexpr int framesOfBcdMsf(std::uint8_t minute, std::uint8_t second, std::uint8_t frame) {
    return framesOf({fromBcd(minute), fromBcd(second), fromBcd(frame)});
}

}  // namespace tellavine
