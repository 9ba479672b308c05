#include "support/sector_check.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tellavine::vcd::testing {
namespace {

std::uint8_t gfMultiply(std::uint8_t a, std::uint8_t b) {
    unsigned result = 0;
    unsigned shifted = a;
    for (int bit = 0; bit < 8; ++bit) {
        if (b & (1u << bit)) result ^= shifted;
        shifted <<= 1;
        if (shifted & 0x100) shifted ^= 0x11D;
    }
    return static_cast<std::uint8_t>(result);
}

std::uint8_t gfPower(unsigned exponent) {
    std::uint8_t value = 1;
    for (unsigned i = 0; i < exponent; ++i) value = gfMultiply(value, 2);
    return value;
}

// Syndromes S0 = sum c_i and S1 = sum c_i alpha^(n-1-i) of one code word.
bool syndromesZero(const std::vector<std::uint8_t>& word) {
    std::uint8_t s0 = 0, s1 = 0;
    const unsigned n = static_cast<unsigned>(word.size());
    for (unsigned i = 0; i < n; ++i) {
        s0 ^= word[i];
        s1 ^= gfMultiply(word[i], gfPower(n - 1 - i));
    }
    return s0 == 0 && s1 == 0;
}

}  // namespace

std::uint32_t bitwiseEdc(std::span<const std::uint8_t> data) {
    // x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1, least significant bit first.
    std::uint32_t crc = 0;
    for (std::uint8_t byte : data) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool feedback = ((crc ^ (byte >> bit)) & 1) != 0;
            crc >>= 1;
            if (feedback) crc ^= 0xD8018001u;
        }
    }
    return crc;
}

std::string form1ParityProblem(std::span<const std::uint8_t> sector) {
    std::vector<std::uint8_t> base(sector.begin() + 12, sector.end());
    std::fill(base.begin(), base.begin() + 4, std::uint8_t{0});  // Mode 2: header as zero
    for (unsigned column = 0; column < 86; ++column) {
        std::vector<std::uint8_t> word;
        for (unsigned row = 0; row < 26; ++row) word.push_back(base[column + 86 * row]);
        if (!syndromesZero(word)) return "P column " + std::to_string(column);
    }
    for (unsigned diagonal = 0; diagonal < 52; ++diagonal) {
        std::vector<std::uint8_t> word;
        for (unsigned i = 0; i < 43; ++i) word.push_back(base[((diagonal / 2) * 86 + diagonal % 2 + 88 * i) % 2236]);
        word.push_back(base[2236 + diagonal]);
        word.push_back(base[2236 + 52 + diagonal]);
        if (!syndromesZero(word)) return "Q diagonal " + std::to_string(diagonal);
    }
    return {};
}

std::string firstDifference(std::span<const std::uint8_t> expected, std::span<const std::uint8_t> actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    std::size_t at = 0;
    while (at < common && expected[at] == actual[at]) ++at;
    if (at == common && expected.size() == actual.size()) return "equal";
    std::string text = "sizes " + std::to_string(expected.size()) + "/" + std::to_string(actual.size()) +
                       ", first difference at " + std::to_string(at) + "\n";
    const std::size_t from = at >= 8 ? at - 8 : 0;
    for (auto [name, bytes] : {std::pair{"expected", expected}, std::pair{"actual  ", actual}}) {
        text += name;
        for (std::size_t i = from; i < std::min(bytes.size(), from + 24); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
            text += hex;
        }
        text += "\n";
    }
    return text;
}

}  // namespace tellavine::vcd::testing
