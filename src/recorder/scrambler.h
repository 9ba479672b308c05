#pragma once
// The CD-ROM sector scrambler: bytes 12..2351 of a raw sector are XORed with the output
// of a 15-bit shift register (x^15 + x + 1, preset to 1), the same 2340 bytes for every
// sector. Applying it twice gives the sector back.

#include "platform/cd_geometry.h"

#include <array>
#include <cstdint>
#include <span>

namespace tellavine {

inline constexpr std::size_t kScrambledLength = 2340;

const std::array<std::uint8_t, kScrambledLength>& scramblerTable();
// Scrambles (or descrambles) bytes 12..2351 of a 2352-byte sector in place.
void scrambleSector(std::span<std::uint8_t, kRawSectorSize> sector);

}  // namespace tellavine
