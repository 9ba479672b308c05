#pragma once
// Minute/second/frame times of a CD: 75 frames a second, 60 seconds a minute. Sector
// address a (0 at the first sector of the program area) has the absolute time a + 150.

#include <cstdint>

namespace tellavine {

struct Msf {
    int minute = 0;
    int second = 0;
    int frame = 0;
};

inline constexpr int kFramesPerSecond = 75;
inline constexpr int kFramesPerMinute = 4500;
inline constexpr int kAddressOffset = 150;  // address 0 lies at 00:02:00

inline constexpr int framesOf(const Msf& time) {
    return time.minute * kFramesPerMinute + time.second * kFramesPerSecond + time.frame;
}

inline constexpr Msf msfOf(int frames) {
    return {frames / kFramesPerMinute, (frames / kFramesPerSecond) % 60, frames % kFramesPerSecond};
}

// Two decimal digits in one byte; values above 99 are kept unchanged (AAh, A0h-A2h).
inline constexpr std::uint8_t toBcd(int value) {
    return value > 99 || value < 0 ? static_cast<std::uint8_t>(value)
                                   : static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

inline constexpr int fromBcd(std::uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); }

}  // namespace tellavine
