#pragma once
// CD-ROM error detection and correction of ECMA-130: the 32-bit EDC and the P and Q
// Reed-Solomon parities of Mode 2 Form 1 sectors.

#include "platform/cd_geometry.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tellavine::vcd {

// CRC-32 with polynomial x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1, processed least
// significant bit first, initial value 0, no final inversion.
std::uint32_t computeEdc(std::span<const std::uint8_t> data);

// Writes the 172 P parity bytes (offset 2076) and then the 104 Q parity bytes (offset
// 2248) of a 2352-byte sector. Bytes 12..2075 must already hold header (zero for Mode 2),
// subheader, user data and EDC.
void computeEcc(std::span<std::uint8_t, kRawSectorSize> sector);

}  // namespace tellavine::vcd
