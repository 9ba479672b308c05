#include "vcd/control_files.h"

#include <gtest/gtest.h>

namespace tellavine::vcd {
namespace {

std::uint16_t be16(const std::vector<std::uint8_t>& file, std::size_t at) { return (file[at] << 8) | file[at + 1]; }

PbcNode selection(const std::string& id, std::vector<std::string> targets) {
    PbcNode node = createPbcNode(PbcNodeKind::SelectionList);
    node.id = id;
    node.selections = std::move(targets);
    node.bsn = 1;
    node.loopCount = 1;
    return node;
}

TEST(EncodeWaitTime, CoversForeverSecondsTensAndTheTop) {
    EXPECT_EQ(encodeWaitTime(-1), 0xFF);
    EXPECT_EQ(encodeWaitTime(0), 0);
    EXPECT_EQ(encodeWaitTime(5), 5);
    EXPECT_EQ(encodeWaitTime(60), 60);
    EXPECT_EQ(encodeWaitTime(65), 60);
    EXPECT_EQ(encodeWaitTime(70), 61);
    EXPECT_EQ(encodeWaitTime(2000), 254);
    EXPECT_EQ(encodeWaitTime(2001), 0xFE);
}

TEST(PsdLayout, SizesRoundToEightAndNodesNeverCrossASector) {
    std::vector<PbcNode> nodes{selection("menu", {"a", "b", "c"})};
    EXPECT_EQ(pbcNodeSize(nodes[0], false), 26u);
    EXPECT_EQ(pbcNodeSize(nodes[0], true), 54u);
    auto sizes = layoutPsd(nodes);
    EXPECT_EQ(sizes.psd, 32u);
    EXPECT_EQ(sizes.extendedPsd, 56u);

    // 60 selection lists of 40 selections: 100 bytes in the PSD (104 rounded), 276 in
    // the extended PSD (280). 19 * 104 = 1976, so the 20th moves to 2048; 7 * 280 = 1960.
    std::vector<PbcNode> many;
    for (int i = 0; i < 60; ++i) many.push_back(selection("n" + std::to_string(i), std::vector<std::string>(40, "x")));
    sizes = layoutPsd(many);
    EXPECT_EQ(many[0].lid, 1);
    EXPECT_EQ(many[59].lid, 60);
    EXPECT_EQ(many[18].psdOffset, 18u * 104);
    EXPECT_EQ(many[19].psdOffset, 2048u);
    EXPECT_EQ(many[6].extendedPsdOffset, 6u * 280);
    EXPECT_EQ(many[7].extendedPsdOffset, 2048u);
    EXPECT_EQ(sizes.psd, 2048u * 3 + 3 * 104);  // 19 per sector: the fourth holds the last 3
}

TEST(Psd, SelectionListBytesAndLinksByListOffset) {
    std::vector<PbcNode> nodes{selection("menu", {"album", "nowhere"}), createPbcNode(PbcNodeKind::PlayList),
                               createPbcNode(PbcNodeKind::EndList)};
    nodes[0].returnId = "menu";
    nodes[0].timeoutTime = -1;
    nodes[0].itemId = "menu-picture";
    nodes[0].jumpDelayed = true;
    nodes[0].loopCount = 300;
    nodes[1].id = "album";
    nodes[1].items = {"photo1", "unknown"};
    nodes[1].playingTime = 2.5;
    nodes[1].waitTime = 70;
    nodes[1].autoWaitTime = -1;
    nodes[1].returnId = "menu";
    nodes[1].rejected = true;
    nodes[2].id = "end";
    const auto sizes = layoutPsd(nodes);
    DiscDescription disc;
    disc.nodes = &nodes;
    disc.psdSize = sizes.psd;
    disc.playItemNumber = [](std::string_view id) -> std::uint16_t {
        return id == "menu-picture" ? 1000 : id == "photo1" ? 1002 : 0;
    };
    std::vector<std::uint8_t> psd(2048), extended(2048), lot(kLotSize);
    buildPsd(psd, disc, false);
    buildPsd(extended, disc, true);

    // Selection list at 0: 20 + 4 -> 24 bytes; play list at 24; end list at 24 + 24 = 48.
    EXPECT_EQ(psd[0], 0x18);
    EXPECT_EQ(psd[2], 2);
    EXPECT_EQ(psd[3], 1);
    EXPECT_EQ(be16(psd, 4), 1);
    EXPECT_EQ(be16(psd, 6), kNoList);            // no previous list
    EXPECT_EQ(be16(psd, 10), 0);                 // return to itself: offset 0
    EXPECT_EQ(psd[16], 0xFF);
    EXPECT_EQ(psd[17], 0x80 | 127);
    EXPECT_EQ(be16(psd, 18), 1000);
    EXPECT_EQ(be16(psd, 20), 24 / 8);            // "album"
    EXPECT_EQ(be16(psd, 22), kNoList);           // not a node
    EXPECT_EQ(psd[24], 0x10);
    EXPECT_EQ(psd[25], 2);
    EXPECT_EQ(be16(psd, 26), 0x8002);            // rejected
    EXPECT_EQ(be16(psd, 34), 37);                // 2.5 s in fifteenths
    EXPECT_EQ(psd[36], 61);
    EXPECT_EQ(psd[37], 0xFF);
    EXPECT_EQ(be16(psd, 38), 1002);
    EXPECT_EQ(be16(psd, 40), 0);
    EXPECT_EQ(psd[48], 0x1F);

    // Extended: 0x1A, areas after the selections, and its own offsets (selection list
    // 36 + 12 = 48 bytes, so the play list sits at 48).
    EXPECT_EQ(extended[0], 0x1A);
    EXPECT_EQ(be16(extended, 20), 48 / 8);
    EXPECT_EQ(extended[48], 0x10);

    buildLot(lot, nodes, false);
    EXPECT_EQ(be16(lot, 0), 0);
    EXPECT_EQ(be16(lot, 2), 0x0000);   // LID 1 starts the PSD
    EXPECT_EQ(be16(lot, 4), kNoList);  // LID 2 is rejected
    EXPECT_EQ(be16(lot, 6), 48 / 8);
    EXPECT_EQ(be16(lot, 8), kNoList);
}

TEST(Info, FieldsOfADiscWithAndWithoutPlaybackControl) {
    MpegStreamInfo palSequence, stillWithSingleAudio;
    palSequence.video[0] = {true, true, 352, 288, 1, 3, 25.0, {}};
    stillWithSingleAudio.video[1] = {true, true, 704, 576, 1, 3, 25.0, {}};
    stillWithSingleAudio.audio[0] = {true, true, 2, 224000, 44100, 4};
    DiscDescription disc;
    disc.albumId = "HOLIDAY";
    disc.restriction = 2;
    disc.sequences = {{1000, &palSequence}};
    disc.segments = {{2, &stillWithSingleAudio}};
    disc.controlAreaEnd = 225;
    std::vector<std::uint8_t> info(2048);
    buildInfo(info, disc);
    EXPECT_EQ(std::string(info.begin(), info.begin() + 8), "VIDEO_CD");
    EXPECT_EQ(info[8], 2);
    EXPECT_EQ(info[9], 0);
    EXPECT_EQ(std::string(info.begin() + 10, info.begin() + 26), "HOLIDAY         ");
    EXPECT_EQ(be16(info, 26), 1);
    EXPECT_EQ(info[30], 0x01);            // sequence 0 is PAL
    EXPECT_EQ(info[43], 0x04);            // restriction 2 in bits 1-2, no extended PSD
    EXPECT_EQ(be16(info, 44) | be16(info, 46), 0);
    EXPECT_EQ(info[48], 0x00);            // 225 + 150 = 375 frames = 00:05:00
    EXPECT_EQ(info[49], 0x05);
    EXPECT_EQ(info[51], 0);
    EXPECT_EQ(be16(info, 52), 0);
    EXPECT_EQ(be16(info, 54), 2);
    EXPECT_EQ(info[56], 0x15);            // single channel audio, PAL still (5 << 2)
    EXPECT_EQ(info[57], 0x35);            // continuation unit

    std::vector<PbcNode> nodes{selection("menu", {})};
    disc.nodes = &nodes;
    disc.psdSize = 24;
    disc.extendedPsd = true;
    buildInfo(info, disc);
    EXPECT_EQ(info[43], 0x84);
    EXPECT_EQ(be16(info, 46), 24);
    EXPECT_EQ(info[51], 8);
    EXPECT_EQ(be16(info, 52), 1);
}

TEST(Entries, OneEntryPerSequenceAtItsTrackStart) {
    MpegStreamInfo stream;
    DiscDescription disc;
    disc.sequences = {{300 + 150, &stream}, {300 + 150 + 300, &stream}};
    std::vector<std::uint8_t> entries(2048);
    buildEntries(entries, disc);
    EXPECT_EQ(std::string(entries.begin(), entries.begin() + 8), "ENTRYVCD");
    EXPECT_EQ(entries[8], 2);
    EXPECT_EQ(be16(entries, 10), 2);
    EXPECT_EQ(entries[12], 0x02);
    EXPECT_EQ(entries[13], 0x00);
    EXPECT_EQ(entries[14], 0x08);  // 450 + 150 = 600 frames = 00:08:00
    EXPECT_EQ(entries[15], 0x00);
    EXPECT_EQ(entries[16], 0x03);
    EXPECT_EQ(entries[18], 0x12);  // 900 frames = 00:12:00
}

}  // namespace
}  // namespace tellavine::vcd
