#include "vcd/edc_ecc.h"

#include <array>

namespace tellavine::vcd {
namespace {

// Reflected form of the EDC polynomial.
constexpr std::uint32_t kEdcPolynomial = 0xD8018001u;

// Slicing by 8: table[k][b] is the CRC of byte b followed by k zero bytes, so eight
// input bytes fold into the CRC with eight independent look-ups.
using EdcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr EdcTables makeEdcTables() {
    EdcTables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? kEdcPolynomial : 0);
        tables[0][i] = value;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::uint32_t i = 0; i < 256; ++i)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ tables[0][tables[k - 1][i] & 0xFF];
    return tables;
}

constexpr EdcTables kEdcTables = makeEdcTables();

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

// The two field operations the parity needs, as one look-up each.
constexpr std::array<std::uint8_t, 256> makeProductTable(unsigned logOfFactor) {
    std::array<std::uint8_t, 256> table{};
    for (unsigned value = 1; value < 256; ++value) table[value] = kGalois.exp[kGalois.log[value] + logOfFactor];
    return table;
}

constexpr auto kTimesAlpha = makeProductTable(1);
// value / (alpha + 1); alpha + 1 = 3 = alpha^25, so dividing multiplies by alpha^(255 - 25).
constexpr auto kOverAlphaPlusOne = makeProductTable(255 - 25);

std::uint8_t multiplyByAlpha(std::uint8_t value) { return kTimesAlpha[value]; }
std::uint8_t divideByAlphaPlusOne(std::uint8_t value) { return kOverAlphaPlusOne[value]; }

// One Reed-Solomon product-code pass. For each of `vectors` code words it takes
// `length` data bytes (first at (v / 2) * vectorStep + (v % 2), then every `byteStep`
// bytes, wrapping at `wrap`) and appends two parity bytes p0, p1 such that both the plain
// sum and the sum weighted alpha^(length + 1 - i) over data, p0, p1 are zero. The two
// code words of a byte pair run side by side: their look-up chains are independent, so
// the processor overlaps them. Steps and wrap are even, so the pair never splits.
void computeParity(const std::uint8_t* source, std::uint8_t* parity, unsigned vectors, unsigned length,
                   unsigned vectorStep, unsigned byteStep, unsigned wrap) {
    for (unsigned pair = 0; pair < vectors / 2; ++pair) {
        unsigned index = pair * vectorStep;
        std::uint8_t weighted[2] = {0, 0};  // Horner sums: sum of d_i * alpha^(length - i)
        std::uint8_t plain[2] = {0, 0};
        for (unsigned i = 0; i < length; ++i) {
            const std::uint8_t even = source[index];
            const std::uint8_t odd = source[index + 1];
            index += byteStep;
            if (index >= wrap) index -= wrap;
            weighted[0] = multiplyByAlpha(static_cast<std::uint8_t>(weighted[0] ^ even));
            weighted[1] = multiplyByAlpha(static_cast<std::uint8_t>(weighted[1] ^ odd));
            plain[0] ^= even;
            plain[1] ^= odd;
        }
        for (unsigned half = 0; half < 2; ++half) {
            const unsigned vector = 2 * pair + half;
            const std::uint8_t first =
                divideByAlphaPlusOne(static_cast<std::uint8_t>(multiplyByAlpha(weighted[half]) ^ plain[half]));
            parity[vector] = first;
            parity[vector + vectors] = static_cast<std::uint8_t>(first ^ plain[half]);
        }
    }
}

}  // namespace

std::uint32_t computeEdc(std::span<const std::uint8_t> data) {
    const std::uint8_t* bytes = data.data();
    std::size_t left = data.size();
    std::uint32_t edc = 0;
    for (; left >= 8; left -= 8, bytes += 8) {
        // The CRC is little-endian in its low four bytes; assembled byte by byte so the
        // code does not depend on the host's byte order or alignment.
        const std::uint32_t low = edc ^ (bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24);
        edc = kEdcTables[7][low & 0xFF] ^ kEdcTables[6][(low >> 8) & 0xFF] ^ kEdcTables[5][(low >> 16) & 0xFF] ^
              kEdcTables[4][low >> 24] ^ kEdcTables[3][bytes[4]] ^ kEdcTables[2][bytes[5]] ^ kEdcTables[1][bytes[6]] ^
              kEdcTables[0][bytes[7]];
    }
    for (; left > 0; --left, ++bytes) edc = (edc >> 8) ^ kEdcTables[0][(edc ^ *bytes) & 0xFF];
    return edc;
}

void computeEcc(std::span<std::uint8_t, kRawSectorSize> sector) {
    std::uint8_t* const base = sector.data() + 12;
    // P: 86 byte columns (43 columns of byte pairs) of 24 bytes, 86 bytes apart.
    computeParity(base, sector.data() + 2076, 86, 24, 2, 86, 24 * 86);
    // Q: 52 byte diagonals (26 of byte pairs) of 43 bytes, 88 bytes apart, over the data
    // and the P parity (2236 bytes).
    computeParity(base, sector.data() + 2248, 52, 43, 86, 88, 2236);
}

}  // namespace tellavine::vcd
