#include "support/sector_check.h"
#include "vcd/iso_track.h"
#include "vcd/iso_tree.h"
#include "vcd/sector_bitmap.h"
#include "vcd/volume_descriptor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tellavine::vcd {
namespace {

std::vector<std::string> childNames(const IsoNode& directory) {
    std::vector<std::string> names;
    for (const auto& child : directory.children) names.push_back(child->name);
    return names;
}

std::uint32_t le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint32_t be32(const std::uint8_t* p) { return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

TEST(SectorBitmap, FirstFitSkipsTakenRunsAndConflictsMarkNothing) {
    SectorBitmap bitmap;
    EXPECT_EQ(bitmap.allocateSectors(0, 3), 0);
    EXPECT_EQ(bitmap.allocateSectors(5, 2), 5);
    EXPECT_EQ(bitmap.allocateSectors(-1, 3), 7);  // 3..4 is too short
    EXPECT_EQ(bitmap.allocateSectors(-1, 0), 3);  // a count of 0 takes one sector
    EXPECT_EQ(bitmap.allocateSectors(4, 3), -1);  // 5 is taken
    EXPECT_FALSE(bitmap.isAllocated(4));
    EXPECT_EQ(bitmap.highestAllocated(), 9);
    bitmap.release(7, 3);
    EXPECT_EQ(bitmap.highestAllocated(), 6);
    EXPECT_EQ(bitmap.allocateSectors(1000, 1), 1000);
    EXPECT_EQ(bitmap.highestAllocated(), 1000);
}

TEST(IsoTree, ChildrenStaySortedBytewiseWithPrefixesFirst) {
    IsoTree tree;
    for (const char* name : {"VCD", "SEGMENT", "MPEGAV", "EXT", "EX"}) makeDirectory(tree, name);
    addFileEntry(tree, "a", 0, 0, false, 1);
    EXPECT_EQ(childNames(tree.root()), (std::vector<std::string>{"EX", "EXT", "MPEGAV", "SEGMENT", "VCD", "a"}));
}

TEST(IsoTree, FilesSortByNameThenExtensionAsTheFileSystemOrdersThem) {
    // A name is padded with spaces before it is compared, so "IMG" comes before "IMG-1"
    // although '-' sorts before '.'; a folder's dot is part of its name.
    IsoTree tree;
    for (const char* path : {"IMG-1.JPG", "IMG.JPG", "IMG.BMP", "IMG_1.JPG", "A.B-C"})
        addFileEntry(tree, path, 0, 0, false, 1);
    makeDirectory(tree, "IMG.D");
    EXPECT_EQ(childNames(tree.root()),
              (std::vector<std::string>{"A.B-C", "IMG.BMP", "IMG.JPG", "IMG-1.JPG", "IMG.D", "IMG_1.JPG"}));
}

TEST(IsoTree, FileEntriesMakeMissingFoldersAndRefuseDuplicates) {
    IsoTree tree;
    EXPECT_EQ(addFileEntry(tree, "PHOTO FILES/ALBUM/A.JPG", 400, 5000, false, 1), 0);
    EXPECT_EQ(addFileEntry(tree, "PHOTO FILES//ALBUM/B.JPG", 410, 10, false, 1), 0);
    EXPECT_EQ(addFileEntry(tree, "PHOTO FILES/ALBUM/A.JPG", 500, 1, false, 1), -1);
    EXPECT_EQ(addFileEntry(tree, "PHOTO FILES/ALBUM/A.JPG/C", 500, 1, false, 1), -1);
    const IsoNode& photos = *tree.root().children.at(0);
    ASSERT_EQ(photos.name, "PHOTO FILES");
    ASSERT_TRUE(photos.isDirectory);
    const IsoNode& album = *photos.children.at(0);
    EXPECT_EQ(album.name, "ALBUM");
    ASSERT_EQ(album.children.size(), 2u);
    EXPECT_EQ(album.children[0]->extent, 400u);  // the first entry stays
    EXPECT_EQ(album.children[0]->xaAttributes, kXaForm1FileAttributes);
    EXPECT_EQ(makeDirectory(tree, "PHOTO FILES"), &photos);  // no second folder of that name
}

TEST(IsoTree, RecordsArePaddedForEvenNamesAndCarryTheXaField) {
    IsoTree tree;
    makeDirectory(tree, "VCD");
    addFileEntry(tree, "VCD/INFO.VCD", 150, 2048, false, 0);     // "INFO.VCD;1": 10 bytes, even
    addFileEntry(tree, "MPEGAV/AVSEQ01.DAT", 600, 4096, true, 1);
    EXPECT_EQ(layoutDirectories(tree, 18), 3u);
    std::vector<std::uint8_t> sectors(3 * 2048);
    writeDirectories(tree, 18, sectors);

    // Root: ".", "..", "MPEGAV" (6, even, padded: 33 + 6 + 1 + 14), "VCD" (3: 33 + 3 + 14).
    const std::uint8_t* mpegav = &sectors[96];
    EXPECT_EQ(mpegav[0], 54);
    EXPECT_EQ(mpegav[32], 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mpegav + 33), 6), "MPEGAV");
    EXPECT_EQ(mpegav[39], 0);                      // padding byte
    EXPECT_EQ(mpegav[25], 2);                      // directory flag
    EXPECT_EQ(le32(mpegav + 2), 19u);              // depth first: root 18, MPEGAV 19, VCD 20
    EXPECT_EQ(be32(mpegav + 6), 19u);
    EXPECT_EQ(std::memcmp(mpegav + 18, "\x4e\x07\x0e\0\0\0\0", 7), 0);  // 1978-07-14
    EXPECT_EQ(mpegav[40 + 4], 0x8D);               // XA attributes, big endian
    EXPECT_EQ(mpegav[40 + 5], 0x55);
    EXPECT_EQ(mpegav[40 + 6], 'X');
    EXPECT_EQ(mpegav[40 + 7], 'A');
    const std::uint8_t* vcd = mpegav + 54;
    EXPECT_EQ(vcd[0], 50);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(vcd + 33), 3), "VCD");
    EXPECT_EQ(vcd[36 + 6], 'X');                   // no padding after an odd name

    // MPEGAV's "." points at itself, ".." at the root; its file is Form 2, file number 1.
    const std::uint8_t* dot = &sectors[2048];
    EXPECT_EQ(le32(dot + 2), 19u);
    EXPECT_EQ(dot[32], 1);
    EXPECT_EQ(dot[33], 0);
    EXPECT_EQ(le32(dot + 48 + 2), 18u);
    EXPECT_EQ(dot[48 + 33], 1);
    const std::uint8_t* avseq = dot + 96;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(avseq + 33), 12), "AVSEQ01.DAT;");
    EXPECT_EQ(le32(avseq + 10), 4096u);
    EXPECT_EQ(avseq[0], 33 + 13 + 14);             // "AVSEQ01.DAT;1": 13, odd
    EXPECT_EQ(avseq[46 + 4], 0x15);
    EXPECT_EQ(avseq[46 + 5], 0x55);
    EXPECT_EQ(avseq[46 + 8], 1);
}

TEST(IsoTree, ARecordThatWouldCrossASectorStartsTheNextOne) {
    IsoTree tree;
    // 96 bytes of dot records + 42 records of 48 bytes (names of 1 character + ";1") = 2112.
    for (int i = 0; i < 42; ++i) {
        std::string name = "F" + std::to_string(100 + i);  // "F100;1": 6, even -> 33 + 6 + 1 + 14 = 54
        addFileEntry(tree, name, 0, 0, false, 1);
    }
    ASSERT_EQ(layoutDirectories(tree, 18), 2u);
    std::vector<std::uint8_t> sectors(2 * 2048);
    writeDirectories(tree, 18, sectors);
    // 96 + 36 * 54 = 2040: the 37th record would cross, so 2040..2047 stay zero.
    EXPECT_EQ(sectors[96 + 35 * 54], 54);
    for (int at = 2040; at < 2048; ++at) EXPECT_EQ(sectors[at], 0) << at;
    EXPECT_EQ(sectors[2048], 54);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&sectors[2048 + 33]), 4), "F136");
    EXPECT_EQ(le32(&sectors[10]), 4096u);  // root size: two sectors
}

TEST(IsoTree, PathTablesListDirectoriesBreadthFirstInBothByteOrders) {
    IsoTree tree;
    for (const char* name : {"EXT", "MPEGAV", "SEGMENT", "VCD"}) makeDirectory(tree, name);
    makeDirectory(tree, "EXT/SUB");
    layoutDirectories(tree, 18);
    std::vector<std::uint8_t> l(2048), m(2048);
    const auto size = writePathTables(tree, l, m);
    ASSERT_TRUE(size);
    // root 10, EXT 12, MPEGAV 14, SEGMENT 16, VCD 12, SUB 12
    EXPECT_EQ(*size, 10u + 12 + 14 + 16 + 12 + 12);
    EXPECT_EQ(l[0], 1);
    EXPECT_EQ(le32(&l[2]), 18u);
    EXPECT_EQ(l[6], 1);  // parent of the root
    EXPECT_EQ(l[8], 0);  // root identifier
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&l[18]), 3), "EXT");
    EXPECT_EQ(be32(&m[12]), 19u);
    const std::size_t sub = 10 + 12 + 14 + 16 + 12;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&l[sub + 8]), 3), "SUB");
    EXPECT_EQ(l[sub + 6], 2);  // parent EXT is directory 2
    EXPECT_EQ(m[sub + 7], 2);
    EXPECT_EQ(le32(&l[sub + 2]), 20u);  // EXT 19, its subtree follows it: SUB 20
}

TEST(VolumeDescriptor, PrimaryDescriptorFieldsSitAtTheirOffsets) {
    std::array<std::uint8_t, 2048> sector{};
    IsoTree tree;
    layoutDirectories(tree, 18);
    PrimaryVolumeFields fields;
    fields.volumeId = "HOLIDAY";
    fields.publisherId = "Tellavine";
    fields.volumeSpaceSize = 300;
    fields.rootRecord = rootDirectoryRecord(tree.root());
    fields.lTableSector = 19;
    fields.mTableSector = 20;
    fields.pathTableSize = 10;
    buildPrimaryVolumeDescriptor(sector, fields);
    auto text = [&](std::size_t at, std::size_t n) { return std::string(reinterpret_cast<const char*>(&sector[at]), n); };
    EXPECT_EQ(sector[0], 1);
    EXPECT_EQ(text(1, 5), "CD001");
    EXPECT_EQ(text(8, 32), "CD-RTOS CD-BRIDGE               ");
    EXPECT_EQ(text(40, 8), "HOLIDAY ");
    EXPECT_EQ(le32(&sector[80]), 300u);
    EXPECT_EQ(be32(&sector[84]), 300u);
    EXPECT_EQ(sector[128], 0x00);
    EXPECT_EQ(sector[129], 0x08);  // 2048 little endian
    EXPECT_EQ(le32(&sector[140]), 19u);
    EXPECT_EQ(be32(&sector[148]), 20u);
    EXPECT_EQ(sector[156], 34);
    EXPECT_EQ(le32(&sector[156 + 2]), 18u);
    EXPECT_EQ(text(318, 10), "Tellavine ");
    EXPECT_EQ(text(446, 24), "QUILLON_VCD VERSION 1.0 ");
    EXPECT_EQ(text(813, 16), "1978071400000000");
    EXPECT_EQ(sector[829], 0);
    EXPECT_EQ(text(847, 16), "0000000000000000");
    EXPECT_EQ(sector[881], 1);
    EXPECT_EQ(text(1024, 8), "CD-XA001");
    buildTerminator(sector);
    EXPECT_EQ(sector[0], 255);
    EXPECT_EQ(text(1, 5), "CD001");
    EXPECT_EQ(sector[1024], 0);
}

TEST(IsoTrack, ControlAreaRoundsToWholeSecondsAndTinyTrackIs300Sectors) {
    IsoTrackContents contents;
    contents.playbackControl = true;
    contents.psdSize = 40;  // psd at 184, one sector: the control area ends at 185
    auto result = layoutIsoTrack(contents);
    ASSERT_TRUE(std::holds_alternative<IsoTrackLayout>(result));
    auto& layout = std::get<IsoTrackLayout>(result);
    EXPECT_EQ(layout.controlAreaEnd, 225u);
    EXPECT_EQ(layout.controlFiles.find("lot_x")->firstSector, 225u);
    EXPECT_EQ(layout.controlFiles.find("psd_x")->firstSector, 257u);
    EXPECT_EQ(layout.trackLength, 300u);

    IsoTrackContents plain;
    auto tiny = std::get<IsoTrackLayout>(layoutIsoTrack(plain));
    EXPECT_EQ(tiny.controlAreaEnd, 225u);  // INFO and ENTRIES end at 152
    EXPECT_EQ(tiny.trackLength, 300u);
    EXPECT_EQ(childNames(tiny.tree.root()), (std::vector<std::string>{"EXT", "MPEGAV", "VCD"}));
    EXPECT_TRUE(tiny.tree.root().children[0]->children.empty());
}

TEST(IsoTrack, SegmentsFollowTheControlAreaAndNameTheirFirstUnit) {
    IsoTrackContents contents;
    contents.segments = {{3, 400}, {1, 2}};
    contents.sequences = {{150, 100, 30, 45}};
    contents.customFiles = {{"PHOTO FILES/ALBUM/A.JPG", 5000, false, 3}, {"EMPTY.TXT", 0, false, 0}};
    auto layout = std::get<IsoTrackLayout>(layoutIsoTrack(contents));
    EXPECT_EQ(layout.segmentFirstSectors, (std::vector<std::uint32_t>{225, 675}));
    EXPECT_EQ(layout.segmentAreaEnd, 825u);
    EXPECT_EQ(layout.customFileExtents, (std::vector<std::uint32_t>{825, 825}));
    EXPECT_EQ(layout.trackLength, 828u);
    const IsoNode& root = layout.tree.root();
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"EMPTY.TXT", "EXT", "MPEGAV", "PHOTO FILES", "SEGMENT", "VCD"}));
    const IsoNode& segment = *root.children[4];
    EXPECT_EQ(childNames(segment), (std::vector<std::string>{"ITEM0001.DAT", "ITEM0004.DAT"}));
    EXPECT_EQ(segment.children[1]->size, 2u * 2048);
    EXPECT_EQ(segment.children[1]->xaAttributes, kXaForm2FileAttributes);
    const IsoNode& avseq = *root.children[2]->children[0];
    EXPECT_EQ(avseq.extent, 828u + 150);
    EXPECT_EQ(avseq.size, (30u + 100 + 45) * 2048);
    EXPECT_EQ(avseq.xaFileNumber, 1);
    EXPECT_EQ(layout.controlFiles.find("dir")->firstSector, 18u);
    EXPECT_EQ(layout.controlFiles.find("ptl")->firstSector, 18u + layout.directorySectors);
}

TEST(IsoTrack, DirectoriesBeyondTheDirectoryAreaAreRefused) {
    IsoTrackContents contents;
    for (int i = 0; i < 60; ++i) contents.customFiles.push_back({"FOLDER" + std::to_string(i) + "/F", 0, false, 0});
    auto result = layoutIsoTrack(contents);
    ASSERT_TRUE(std::holds_alternative<std::string>(result));
    EXPECT_NE(std::get<std::string>(result).find("too many files"), std::string::npos);
}

}  // namespace
}  // namespace tellavine::vcd
