#include "recorder/scrambler.h"

#include <gtest/gtest.h>

#include <vector>

namespace tellavine {
namespace {

TEST(Scrambler, TableStartsWithTheRegisterSequence) {
    // The first bytes of the sequence published with the CD-ROM sector format.
    const std::vector<std::uint8_t> expected = {0x01, 0x80, 0x00, 0x60, 0x00, 0x28, 0x00, 0x1E,
                                                0x80, 0x08, 0x60, 0x06, 0xA8, 0x02, 0xFE, 0x81};
    const auto& table = scramblerTable();
    EXPECT_EQ(std::vector<std::uint8_t>(table.begin(), table.begin() + 16), expected);
}

TEST(Scrambler, RecomputedBitwiseTableMatchesAndSequenceDoesNotRepeatEarly) {
    // An independent bit-serial run of x^15 + x + 1 from preset 1.
    unsigned reg = 1;
    std::vector<int> bits;
    for (int i = 0; i < 2340 * 8; ++i) {
        bits.push_back(static_cast<int>(reg & 1));
        const unsigned next = ((reg >> 1) ^ reg) & 1;
        reg = (reg >> 1) | (next << 14);
    }
    const auto& table = scramblerTable();
    for (std::size_t byte = 0; byte < 2340; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            ASSERT_EQ((table[byte] >> bit) & 1, bits[byte * 8 + static_cast<std::size_t>(bit)]) << byte;
}

TEST(Scrambler, SyncStaysAndScramblingTwiceRestoresTheSector) {
    std::array<std::uint8_t, 2352> sector{};
    for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<std::uint8_t>(i * 7);
    const auto original = sector;
    scrambleSector(sector);
    EXPECT_TRUE(std::equal(sector.begin(), sector.begin() + 12, original.begin()));
    EXPECT_NE(sector, original);
    EXPECT_EQ(sector[12], original[12] ^ 0x01);
    scrambleSector(sector);
    EXPECT_EQ(sector, original);
}

}  // namespace
}  // namespace tellavine
