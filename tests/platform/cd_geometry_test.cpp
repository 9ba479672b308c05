#include "platform/cd_geometry.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

struct TimeCase {
    int frames;
    Msf time;
    std::array<std::uint8_t, 3> bcd;
};

class CdTime : public testing::TestWithParam<TimeCase> {};

TEST_P(CdTime, ConvertsBetweenFramesMinutesSecondsFramesAndBcd) {
    const TimeCase& c = GetParam();
    const Msf time = msfOf(c.frames);
    EXPECT_EQ(time.minute, c.time.minute);
    EXPECT_EQ(time.second, c.time.second);
    EXPECT_EQ(time.frame, c.time.frame);
    EXPECT_EQ(framesOf(c.time), c.frames);
    EXPECT_EQ(bcdMsfOf(c.frames), c.bcd);
    EXPECT_EQ(framesOfBcdMsf(c.bcd[0], c.bcd[1], c.bcd[2]), c.frames);
}

INSTANTIATE_TEST_SUITE_P(Times, CdTime,
                         testing::Values(TimeCase{0, {0, 0, 0}, {0x00, 0x00, 0x00}},
                                         TimeCase{74, {0, 0, 74}, {0x00, 0x00, 0x74}},
                                         TimeCase{75, {0, 1, 0}, {0x00, 0x01, 0x00}},
                                         TimeCase{kPregapFrames, {0, 2, 0}, {0x00, 0x02, 0x00}},
                                         TimeCase{4499, {0, 59, 74}, {0x00, 0x59, 0x74}},
                                         TimeCase{4500, {1, 0, 0}, {0x01, 0x00, 0x00}},
                                         TimeCase{12 * 4500 + 34 * 75 + 56, {12, 34, 56}, {0x12, 0x34, 0x56}},
                                         TimeCase{79 * 4500 + 59 * 75 + 74, {79, 59, 74}, {0x79, 0x59, 0x74}},
                                         TimeCase{99 * 4500 + 59 * 75 + 74, {99, 59, 74}, {0x99, 0x59, 0x74}}));

struct BcdCase {
    int value;
    std::uint8_t bcd;
};

class Bcd : public testing::TestWithParam<BcdCase> {};

// Sub-channel points above 99 (A0h-A2h, AAh) travel as they are, both ways.
TEST_P(Bcd, EncodesTwoDigitsAndKeepsLargerValues) {
    const BcdCase& c = GetParam();
    EXPECT_EQ(toBcd(c.value), c.bcd);
    EXPECT_EQ(fromBcdOrRaw(c.bcd), c.value);
    if (c.value <= 99) {
        EXPECT_EQ(fromBcd(c.bcd), c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, Bcd,
                         testing::Values(BcdCase{0, 0x00}, BcdCase{9, 0x09}, BcdCase{10, 0x10}, BcdCase{59, 0x59},
                                         BcdCase{99, 0x99}, BcdCase{0xA0, 0xA0}, BcdCase{0xA2, 0xA2},
                                         BcdCase{0xAA, 0xAA}));

}  // namespace
}  // namespace tellavine
