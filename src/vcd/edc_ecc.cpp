#include "vcd/edc_ecc.h"

#include <array>

namespace tellavine::vcd {
namespace {

// Reflected form of the EDC polynomial.
constexpr std::uint32_t kEdcPolynomial = 0xD8018001u;

constexpr std::array<std::uint32_t, 256> makeEdcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? kEdcPolynomial : 0);
        table[i] = value;
    }
    return table;
}

constexpr auto kEdcTable = makeEdcTable();

// GF(2^8) with field polynomial x^8 + x^4 + x^3 + x^2 + 1; alpha = 2.
struct GaloisTables {
    std::array<std::uint8_t, 512> exp{};  // doubled so exp[log a + log b] needs no modulo
    std::array<std::uint8_t, 256> log{};
};

constexpr GaloisTables makeGaloisTables() {
    GaloisTables tables;
    unsigned value = 1;
    for (unsigned power = 0; power < 255; ++power) {
        tables.exp[power] = static_cast<std::uint8_t>(value);
        tables.exp[power + 255] = static_cast<std::uint8_t>(value);
        tables.log[value] = static_cast<std::uint8_t>(power);
        value <<= 1;
        if (value & 0x100) value ^= 0x11D;
    }
    return tables;
}

constexpr auto kGalois = makeGaloisTables();

std::uint8_t multiplyByAlpha(std::uint8_t value) {
    return value ? kGalois.exp[kGalois.log[value] + 1] : 0;
}

// value / (alpha + 1); alpha + 1 = 3 = alpha^25.
std::uint8_t divideByAlphaPlusOne(std::uint8_t value) {
    constexpr unsigned logOfThree = 25;
    return value ? kGalois.exp[kGalois.log[value] + 255 - logOfThree] : 0;
}

// One Reed-Solomon product-code pass. For each of `vectors` code words it takes
// `length` data bytes (first at (v / 2) * vectorStep + (v % 2), then every `byteStep`
// bytes, wrapping at `wrap`) and appends two parity bytes p0, p1 such that both the plain
// sum and the sum weighted alpha^(length + 1 - i) over data, p0, p1 are zero.
void computeParity(const std::uint8_t* source, std::uint8_t* parity, unsigned vectors, unsigned length,
                   unsigned vectorStep, unsigned byteStep, unsigned wrap) {
    for (unsigned vector = 0; vector < vectors; ++vector) {
        unsigned index = (vector / 2) * vectorStep + (vector % 2);
        std::uint8_t weighted = 0;  // Horner sum: sum of d_i * alpha^(length - i)
        std::uint8_t plain = 0;
        for (unsigned i = 0; i < length; ++i) {
            const std::uint8_t value = source[index];
            index += byteStep;
            if (index >= wrap) index -= wrap;
            weighted = multiplyByAlpha(static_cast<std::uint8_t>(weighted ^ value));
            plain ^= value;
        }
        const std::uint8_t first = divideByAlphaPlusOne(static_cast<std::uint8_t>(multiplyByAlpha(weighted) ^ plain));
        parity[vector] = first;
        parity[vector + vectors] = static_cast<std::uint8_t>(first ^ plain);
    }
}

}  // namespace

std::uint32_t computeEdc(std::span<const std::uint8_t> data) {
    std::uint32_t edc = 0;
    for (const std::uint8_t byte : data) edc = (edc >> 8) ^ kEdcTable[(edc ^ byte) & 0xFF];
    return edc;
}

void computeEcc(std::span<std::uint8_t, 2352> sector) {
    std::uint8_t* const base = sector.data() + 12;
    // P: 86 byte columns (43 columns of byte pairs) of 24 bytes, 86 bytes apart.
    computeParity(base, sector.data() + 2076, 86, 24, 2, 86, 24 * 86);
    // Q: 52 byte diagonals (26 of byte pairs) of 43 bytes, 88 bytes apart, over the data
    // and the P parity (2236 bytes).
    computeParity(base, sector.data() + 2248, 52, 43, 86, 88, 2236);
}

}  // namespace tellavine::vcd
