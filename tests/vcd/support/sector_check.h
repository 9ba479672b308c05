#pragma once
// Checks of finished sectors that share nothing with the encoder: a bit-by-bit EDC and
// Reed-Solomon syndromes computed with shift-and-add field multiplication.

#include <cstdint>
#include <span>
#include <string>

namespace tellavine::vcd::testing {

std::uint32_t bitwiseEdc(std::span<const std::uint8_t> data);

// Empty when every P and Q syndrome of the Form 1 sector (header counted as zero) is
// zero, else a description of the first failing code word.
std::string form1ParityProblem(std::span<const std::uint8_t> sector);

// Hex dump of both buffers around their first difference, for assertion messages.
std::string firstDifference(std::span<const std::uint8_t> expected, std::span<const std::uint8_t> actual);

}  // namespace tellavine::vcd::testing
