#include "support/sector_check.h"
#include "vcd/edc_ecc.h"
#include "vcd/sector.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string_view>
#include <vector>

namespace tellavine::vcd {
namespace {

using testing::bitwiseEdc;
using testing::form1ParityProblem;

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<std::uint8_t> patternedPayload(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> payload(size);
    unsigned state = seed;
    for (auto& byte : payload) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return payload;
}

std::uint32_t storedEdc(const Mode2Sector& sector, std::size_t at) {
    return sector[at] | (sector[at + 1] << 8) | (sector[at + 2] << 16) | (std::uint32_t(sector[at + 3]) << 24);
}

TEST(Edc, MatchesPublishedCheckValueAndBitwiseRecomputation) {
    // Catalogued check value of CRC-32/CD-ROM-EDC over "123456789".
    EXPECT_EQ(computeEdc(asBytes("123456789")), 0x6EC2EDC4u);
    EXPECT_EQ(bitwiseEdc(asBytes("123456789")), 0x6EC2EDC4u);
    for (unsigned seed = 0; seed < 20; ++seed) {
        const auto data = patternedPayload(1 + seed * 97, seed);
        EXPECT_EQ(computeEdc(data), bitwiseEdc(data)) << "seed " << seed;
    }
    EXPECT_EQ(computeEdc({}), 0u);
}

TEST(Edc, EightBytesAtATimeAgreeAtEveryLengthAndStartOffset) {
    // The fast path folds eight bytes per step and finishes byte by byte: every split
    // between the two, and data that starts off any alignment, must give the same CRC.
    const auto data = patternedPayload(2352 + 8, 41);
    for (std::size_t offset = 0; offset < 8; ++offset)
        for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 63u, 64u, 65u, 2056u, 2332u, 2352u}) {
            const std::span<const std::uint8_t> slice(data.data() + offset, length);
            ASSERT_EQ(computeEdc(slice), bitwiseEdc(slice)) << "offset " << offset << " length " << length;
        }
    const std::vector<std::uint8_t> ones(2332, 0xFF);
    EXPECT_EQ(computeEdc(ones), bitwiseEdc(ones));
}

TEST(Mode2Sector, SectorZeroCarriesSyncAndHeader000200Mode2) {
    Mode2Sector sector;
    buildMode2Sector(sector, {}, 0, Subheader{});
    const std::uint8_t expected[16] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0x00, 0x02, 0x00, 2};
    EXPECT_TRUE(std::equal(expected, expected + 16, sector.begin()));
}

TEST(Mode2Sector, Form1CarriesSubheaderTwiceDataEdcAndParity) {
    const auto payload = patternedPayload(kForm1DataSize, 7);
    Mode2Sector sector;
    buildMode2Sector(sector, payload, 1234, Subheader{1, 2, 0x89, 0x0F});
    const std::uint8_t subheader[8] = {1, 2, 0x89, 0x0F, 1, 2, 0x89, 0x0F};
    EXPECT_TRUE(std::equal(subheader, subheader + 8, sector.begin() + 16));
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), sector.begin() + 24));
    EXPECT_EQ(storedEdc(sector, 2072), bitwiseEdc(std::span(sector).subspan(16, 2056)));
    EXPECT_EQ(form1ParityProblem(sector), "");
    // lsn 1234 lies at 00:18:34 (1234 + 150 frames).
    EXPECT_EQ((std::array<std::uint8_t, 3>{sector[12], sector[13], sector[14]}),
              (std::array<std::uint8_t, 3>{0x00, 0x18, 0x34}));
}

TEST(Mode2Sector, Form1ParityHoldsForManyPayloadsAndAddresses) {
    Mode2Sector sector;
    for (unsigned seed = 0; seed < 40; ++seed) {
        buildMode2Sector(sector, patternedPayload(kForm1DataSize, 100 + seed), seed * 7919, Subheader{1, 0, 0x08, 0});
        ASSERT_EQ(form1ParityProblem(sector), "") << "seed " << seed;
    }
    const std::vector<std::uint8_t> ones(kForm1DataSize, 0xFF);
    buildMode2Sector(sector, ones, 0, Subheader{0xFF, 0xFF, 0x08, 0xFF});
    EXPECT_EQ(form1ParityProblem(sector), "");
}

TEST(Mode2Sector, ParityCheckFailsAfterAnyFlippedByte) {
    Mode2Sector sector;
    buildMode2Sector(sector, patternedPayload(kForm1DataSize, 3), 99, Subheader{});
    for (std::size_t at : {16u, 24u, 1000u, 2071u, 2072u, 2100u, 2300u, 2351u}) {
        Mode2Sector damaged = sector;
        damaged[at] ^= 0x10;
        EXPECT_NE(form1ParityProblem(damaged), "") << "byte " << at;
    }
}

TEST(Mode2Sector, ParityIsComputedWithZeroHeaderSoItHoldsAtEveryAddress) {
    const auto payload = patternedPayload(kForm1DataSize, 11);
    Mode2Sector early, late;
    buildMode2Sector(early, payload, 0, Subheader{});
    buildMode2Sector(late, payload, 333000, Subheader{});
    EXPECT_TRUE(std::equal(early.begin() + 16, early.end(), late.begin() + 16));
    EXPECT_EQ(form1ParityProblem(late), "");
}

TEST(Mode2Sector, Form2HasEdcAt2348AndNoParity) {
    const auto payload = patternedPayload(kForm2DataSize, 5);
    Mode2Sector sector;
    buildMode2Sector(sector, payload, 20, Subheader{1, 1, 0x62, 0x0F});
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), sector.begin() + 24));
    EXPECT_EQ(storedEdc(sector, 2348), bitwiseEdc(std::span(sector).subspan(16, 2332)));
    EXPECT_EQ(sector[15], 2);
}

TEST(Mode2Sector, ShortPayloadIsPaddedWithZeros) {
    const std::vector<std::uint8_t> payload(100, 0xAB);
    Mode2Sector sector;
    buildMode2Sector(sector, payload, 0, Subheader{0, 0, 0x60, 0});
    EXPECT_EQ(sector[24 + 99], 0xAB);
    EXPECT_TRUE(std::all_of(sector.begin() + 124, sector.begin() + 2348, [](auto b) { return b == 0; }));
}

TEST(Mode2Sector, RawSectorKeepsItsBodyAndGetsOnlySyncAndHeader) {
    std::array<std::uint8_t, kMode2BodySize> body;
    std::iota(body.begin(), body.end(), 0);
    Mode2Sector sector;
    buildRawMode2Sector(sector, body, 75);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), sector.begin() + 16));
    EXPECT_EQ(sector[13], 0x03);  // 75 + 150 frames = 00:03:00
    EXPECT_EQ(sector[15], 2);
}

}  // namespace
}  // namespace tellavine::vcd
