#include "recorder/mmc_cue_sheet.h"

#include <gtest/gtest.h>

#include <vector>

namespace tellavine {
namespace {

std::vector<std::uint8_t> entry(std::uint8_t ctl, std::uint8_t tno, std::uint8_t index, std::uint8_t form,
                                std::uint8_t m, std::uint8_t s, std::uint8_t f) {
    return {ctl, tno, index, form, 0, m, s, f};
}

TEST(MmcCueSheet, IsoTrackAndMpegTrackWithAnEntryPoint) {
    // ISO track of 1000 sectors, pregap 150, MPEG track from 1150 with a further entry
    // point at 2000, lead-out at 5000.
    const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart},
                                     {1000, RecorderCueKind::PregapStart},
                                     {1150, RecorderCueKind::TrackStart},
                                     {2000, RecorderCueKind::IndexMark},
                                     {5000, RecorderCueKind::LeadOut}};
    MmcCueSheet sheet;
    ASSERT_TRUE(sheet.buildFromCueList(list));
    std::vector<std::uint8_t> expected;
    auto add = [&](std::vector<std::uint8_t> e) { expected.insert(expected.end(), e.begin(), e.end()); };
    add(entry(0x41, 0, 0, 0x24, 0, 0, 0));        // lead-in
    add(entry(0x61, 1, 0, 0x20, 0, 0, 0));        // track 1 pregap
    add(entry(0x61, 1, 1, 0x20, 0, 2, 0));        // track 1 at lsn 0
    add(entry(0x61, 2, 0, 0x20, 0, 15, 25));      // 1150 = 00:15:25
    add(entry(0x61, 2, 1, 0x20, 0, 17, 25));      // 1300
    add(entry(0x61, 2, 2, 0x20, 0, 28, 50));      // 2150
    add(entry(0x41, 0xAA, 1, 0x24, 1, 8, 50));    // 5150 = 01:08:50, binary
    EXPECT_EQ(std::vector<std::uint8_t>(sheet.bytes().begin(), sheet.bytes().end()), expected);
    EXPECT_EQ(sheet.entryCount(), 7u);
}

std::vector<RecorderCueEntry> listWithIndexMarks(int marks) {
    std::vector<RecorderCueEntry> list = {{0, RecorderCueKind::TrackStart},
                                          {1000, RecorderCueKind::PregapStart},
                                          {1150, RecorderCueKind::TrackStart}};
    for (int i = 0; i < marks; ++i) list.push_back({1200u + 10u * static_cast<std::uint32_t>(i), RecorderCueKind::IndexMark});
    list.push_back({100000, RecorderCueKind::LeadOut});
    return list;
}

TEST(MmcCueSheet, ThreeHundredEntriesFitAndOneMoreIsRefused) {
    // Lead-in, 2 entries of track 1, 2 of track 2 and the lead-out make 6.
    MmcCueSheet full;
    EXPECT_TRUE(full.buildFromCueList(listWithIndexMarks(294)));
    EXPECT_EQ(full.entryCount(), 300u);
    EXPECT_EQ(full.bytes().size(), 2400u);
    MmcCueSheet over;
    EXPECT_FALSE(over.buildFromCueList(listWithIndexMarks(295)));
    EXPECT_TRUE(over.overflowed());
    EXPECT_FALSE(over.complete());
}

TEST(MmcCueSheet, ListWithoutLeadOutIsIncomplete) {
    const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart}};
    MmcCueSheet sheet;
    EXPECT_FALSE(sheet.buildFromCueList(list));
    EXPECT_FALSE(sheet.complete());
    EXPECT_FALSE(sheet.overflowed());
}

TEST(MmcCueSheet, EntryByEntryUseMatchesTheWalk) {
    MmcCueSheet sheet;
    sheet.begin();
    EXPECT_TRUE(sheet.addEntry(1, 0, 0));
    EXPECT_TRUE(sheet.addEntry(1, 1, 150));
    EXPECT_FALSE(sheet.complete());
    EXPECT_TRUE(sheet.addEntry(0xAA, 1, 4650));  // the lead-out, as the image sink adds it
    EXPECT_TRUE(sheet.complete());
    const auto bytes = sheet.bytes();
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes[24], 0x41);
    EXPECT_EQ(bytes[24 + 1], 0xAA);
    EXPECT_EQ(bytes[24 + 3], 0x24);
    EXPECT_EQ(bytes[24 + 5], 1);  // 4650 = 01:02:00
    EXPECT_EQ(bytes[24 + 6], 2);
    // An address a sheet cannot express marks it as refused.
    EXPECT_FALSE(sheet.addEntry(2, 1, -1));
    EXPECT_FALSE(sheet.complete());
}

}  // namespace
}  // namespace tellavine
