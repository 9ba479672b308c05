#include "support/collecting_feed.h"
#include "support/recording_prompt.h"
#include "support/recording_receiver.h"
#include "support/temp_dir.h"
#include "vcd/image_sink.h"
#include "vcd/recorder_hooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace tellavine::vcd {
namespace {

using tellavine::testing::TempDir;
using tellavine::testing::readFile;
using testing::CollectingFeed;
using tellavine::testing::RecordingReceiver;

class ImageSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.window.attach(receiver);
    }
    // The ISO track of 300 sectors and one MPEG track of 2 seconds' pregap.
    static std::vector<CueEntry> twoTrackCues() {
        return {{0, CueKind::TrackStart}, {300, CueKind::PregapStart}, {450, CueKind::TrackStart}, {1000, CueKind::LeadOut}};
    }

    TempDir dir;
    SinkOwner owner;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
};

TEST_F(ImageSinkTest, TwoTrackImageGivesTheEightLineCueSheet) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    ASSERT_EQ(sink->setCueList(twoTrackCues(), owner), 0);
    ASSERT_TRUE(sink->release());
    EXPECT_EQ(readFile(dir.file("disc.cue")),
              "FILE \"disc.bin\" BINARY\r\n"
              "  TRACK 01 MODE2/2352\r\n"
              "    FLAGS DCP\r\n"
              "    INDEX 01 00:00:00\r\n"
              "  TRACK 02 MODE2/2352\r\n"
              "    FLAGS DCP\r\n"
              "    INDEX 00 00:04:00\r\n"
              "    INDEX 01 00:06:00\r\n");
    EXPECT_EQ(receiver->count(WM_IMAGE_BEGIN), 1u);
}

TEST_F(ImageSinkTest, FurtherEntryPointsAddIndexLinesAndBinElsewhereKeepsItsPath) {
    std::filesystem::create_directory(dir.file("data"));
    const auto binPath = dir.file("data/disc.bin");
    auto sink = createImageSink(dir.file("disc.cue"), binPath, owner);
    auto cues = twoTrackCues();
    cues.insert(cues.begin() + 3, CueEntry{4500 * 10 + 75 * 2 + 3, CueKind::IndexMark});
    ASSERT_EQ(sink->setCueList(cues, owner), 0);
    ASSERT_TRUE(sink->release());
    const auto text = readFile(dir.file("disc.cue"));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "FILE \"" + binPath + "\" BINARY");
    EXPECT_NE(text.find("    INDEX 01 00:06:00\r\n    INDEX 02 10:02:03\r\n"), std::string::npos);
}

TEST_F(ImageSinkTest, ListWithoutLeadOutIsRefused) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    EXPECT_EQ(sink->setCueList({{CueEntry{0, CueKind::TrackStart}}}, owner), -1);
}

TEST_F(ImageSinkTest, SectorsLandAtTheirOwnOffsetsEvenFarBeyondTheEnd) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    Mode2Sector sector;
    buildMode2Sector(sector, {}, 5000, Subheader{});
    ASSERT_EQ(sink->writeSector(sector, 5000), 0);
    buildMode2Sector(sector, {}, 1, Subheader{});
    ASSERT_EQ(sink->writeSector(sector, 1), 0);
    ASSERT_TRUE(sink->release());
    const auto bin = readFile(dir.file("disc.bin"));
    ASSERT_EQ(bin.size(), 5001u * 2352);
    EXPECT_EQ(static_cast<unsigned char>(bin[5000 * 2352 + 13]), 0x08);  // 5150 frames = 01:08:50
    EXPECT_EQ(static_cast<unsigned char>(bin[1 * 2352 + 14]), 0x01);
    EXPECT_EQ(receiver->count(WM_IMAGE_SECTOR), 2u);
}

TEST_F(ImageSinkTest, BodySizeSectorsWriteBytes16OnwardWithoutMessages) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    EXPECT_EQ(sink->setSinkArgument("sector", "2336"), 0);
    EXPECT_EQ(sink->setSinkArgument("sector", "2048"), -2);
    EXPECT_EQ(sink->setSinkArgument("colour", "red"), -1);
    Mode2Sector sector;
    buildMode2Sector(sector, {}, 2, Subheader{7, 0, 0x08, 0});
    ASSERT_EQ(sink->writeSector(sector, 2), 0);
    ASSERT_TRUE(sink->release());
    const auto bin = readFile(dir.file("disc.bin"));
    ASSERT_EQ(bin.size(), 3u * 2336);
    EXPECT_EQ(bin[2 * 2336], 7);
    EXPECT_EQ(receiver->count(WM_IMAGE_SECTOR), 0u);
}

TEST_F(ImageSinkTest, UncreatableFilesFailTheSinkWithTheReason) {
    auto sink = createImageSink(dir.file("missing/disc.cue"), dir.file("missing/disc.bin"), owner);
    EXPECT_EQ(sink->setCueList(twoTrackCues(), owner), -1);
    EXPECT_TRUE(sink->failed());
    EXPECT_NE(sink->failureReason().find("missing/disc.bin"), std::string::npos);
    Mode2Sector sector{};
    EXPECT_EQ(sink->writeSector(sector, 0), -1);
    EXPECT_FALSE(sink->release());
}

TEST_F(ImageSinkTest, TemporaryFilesAreNeverFollowedThroughLinksAndUnquotableNamesAreRefused) {
    tellavine::testing::RecordingServices prompt;
    // A link left where the image is written first must not truncate what it points to.
    tellavine::testing::writeFile(dir.file("precious.txt"), "keep");
    std::filesystem::create_symlink(dir.file("precious.txt"), dir.file("disc.bin.part"));
    auto linked = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner, {true, nullptr, prompt.prompt()});
    EXPECT_EQ(linked->setCueList(twoTrackCues(), owner), -1);
    EXPECT_FALSE(linked->release());
    EXPECT_EQ(readFile(dir.file("precious.txt")), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.cue")));

    // The CUE quotes the BIN's name on one line: a quotation mark would name another file.
    auto quoted = createImageSink(dir.file("my\"disc.cue"), dir.file("my\"disc.bin"), owner, {true, nullptr, prompt.prompt()});
    EXPECT_EQ(quoted->setCueList(twoTrackCues(), owner), -1);
    EXPECT_NE(quoted->failureReason().find("quotation mark"), std::string::npos) << quoted->failureReason();
    EXPECT_FALSE(std::filesystem::exists(dir.file("my\"disc.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("my\"disc.bin.part")));
}

TEST_F(ImageSinkTest, FullDiskIsReportedNotTakenForSuccess) {
    tellavine::testing::RecordingServices prompt;
    auto sink = createImageSink(dir.file("disc.cue"), "/dev/full", owner, {true, nullptr, prompt.prompt()});
    ASSERT_EQ(sink->setCueList(twoTrackCues(), owner), 0);
    Mode2Sector sector{};
    bool writeFailed = false;
    for (std::uint32_t lsn = 0; lsn < 200 && !writeFailed; ++lsn) writeFailed = sink->writeSector(sector, lsn) != 0;
    EXPECT_FALSE(sink->release());
    EXPECT_NE(sink->failureReason().find("/dev/full"), std::string::npos);
    EXPECT_EQ(prompt->shown(), std::vector<std::string>{sink->failureReason()});  // told once
}

TEST_F(ImageSinkTest, FailedOrCancelledWriteLeavesTheEarlierImageAndNoPartFiles) {
    {
        auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
        ASSERT_EQ(sink->setCueList(twoTrackCues(), owner), 0);
        Mode2Sector sector;
        buildMode2Sector(sector, {}, 0, Subheader{});
        ASSERT_EQ(sink->writeSector(sector, 0), 0);
        ASSERT_TRUE(sink->release());
    }
    const auto earlierCue = readFile(dir.file("disc.cue"));
    const auto earlierBin = readFile(dir.file("disc.bin"));
    ASSERT_EQ(earlierBin.size(), 2352u);

    // Stopped by the writer, cancelled, and dropped without a release.
    for (int way = 0; way < 3; ++way) {
        SinkOwner other;
        auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), other);
        ASSERT_EQ(sink->setCueList({{CueEntry{0, CueKind::TrackStart}, CueEntry{9, CueKind::LeadOut}}}, other), 0);
        Mode2Sector sector{};
        for (std::uint32_t lsn = 0; lsn < 4; ++lsn) ASSERT_EQ(sink->writeSector(sector, lsn), 0);
        EXPECT_TRUE(std::filesystem::exists(dir.file("disc.bin.part")));
        if (way == 0) {
            EXPECT_TRUE(sink->release(false));
        } else if (way == 1) {
            other.cancelEvent->set();
            EXPECT_EQ(sink->writeSector(sector, 4), -1);
            EXPECT_FALSE(sink->release());
        }
        sink.reset();
        EXPECT_EQ(readFile(dir.file("disc.cue")), earlierCue) << way;
        EXPECT_EQ(readFile(dir.file("disc.bin")), earlierBin) << way;
        EXPECT_FALSE(std::filesystem::exists(dir.file("disc.bin.part"))) << way;
        EXPECT_FALSE(std::filesystem::exists(dir.file("disc.cue.part"))) << way;
    }
}

TEST_F(ImageSinkTest, ASecondBuildWritingTheSameImageIsRefusedAndLeavesTheFirstOnesFiles) {
    tellavine::testing::RecordingServices prompt;
    auto first = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    ASSERT_EQ(first->setCueList(twoTrackCues(), owner), 0);
    SinkOwner other;
    auto second = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), other, {true, nullptr, prompt.prompt()});
    EXPECT_EQ(second->setCueList(twoTrackCues(), other), -1);
    EXPECT_FALSE(second->release());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_NE(prompt->shown()[0].find("Another build is writing the disc image file " + dir.file("disc.cue")),
              std::string::npos);
    // The first build's image is whole, and the lock is gone with it.
    Mode2Sector sector{};
    ASSERT_EQ(first->writeSector(sector, 999), 0);
    ASSERT_TRUE(first->release());
    EXPECT_EQ(std::filesystem::file_size(dir.file("disc.bin")), 1000u * kRawSectorSize);
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.cue.lock")));
    auto third = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), other);
    EXPECT_EQ(third->setCueList(twoTrackCues(), other), 0);
    EXPECT_TRUE(third->release());
}

TEST_F(ImageSinkTest, CompletedImageReplacesTheEarlierOneAndNamesTheFinalBin) {
    { std::ofstream(dir.file("disc.bin")) << "an older and longer image than the new one"; }
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    ASSERT_EQ(sink->setCueList(twoTrackCues(), owner), 0);
    Mode2Sector sector;
    buildMode2Sector(sector, {}, 0, Subheader{});
    ASSERT_EQ(sink->writeSector(sector, 0), 0);
    ASSERT_TRUE(sink->release());
    EXPECT_EQ(readFile(dir.file("disc.bin")).size(), 2352u);
    EXPECT_EQ(readFile(dir.file("disc.cue")).substr(0, 24), "FILE \"disc.bin\" BINARY\r\n");
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 2u);  // no part files left over
}

TEST_F(ImageSinkTest, CancelStopsWriting) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    Mode2Sector sector{};
    ASSERT_EQ(sink->writeSector(sector, 0), 0);
    owner.cancelEvent->set();
    EXPECT_EQ(sink->writeSector(sector, 1), -1);
    EXPECT_FALSE(sink->release());
}

TEST_F(ImageSinkTest, RecorderModeCreatesNoFilesAndFeedsCueSheetAndSectors) {
    auto feed = std::make_shared<CollectingFeed>();
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner, {false, feed, nullptr});
    ASSERT_EQ(sink->setCueList(twoTrackCues(), owner), 0);
    Mode2Sector sector;
    for (std::uint32_t lsn = 0; lsn < 3; ++lsn) {
        buildMode2Sector(sector, {}, lsn, Subheader{});
        ASSERT_EQ(sink->writeSector(sector, lsn), 0);
    }
    ASSERT_TRUE(sink->release());
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.cue")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.bin")));
    using Entry = std::tuple<int, int, std::uint32_t>;
    EXPECT_EQ(feed->entries, (std::vector<Entry>{{1, 0, 0}, {1, 1, 150}, {2, 0, 450}, {2, 1, 600}, {0xAA, 1, 1150}}));
    EXPECT_EQ(feed->queuesOpened, 1);
    EXPECT_EQ(feed->started, 1);
    EXPECT_EQ(feed->sectorHeaders, (std::vector<std::uint8_t>{0x00, 0x01, 0x02}));
    EXPECT_TRUE(feed->closedComplete);
    EXPECT_EQ(receiver->count(WM_IMAGE_BEGIN), 0u);
    EXPECT_EQ(receiver->count(WM_IMAGE_SECTOR), 0u);
}

TEST_F(ImageSinkTest, RecorderModeStoppedEarlyTellsTheFeedNotToFinish) {
    auto feed = std::make_shared<CollectingFeed>();
    feed->capacity = 3;  // the sheet fills before the lead-out
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner, {false, feed, nullptr});
    EXPECT_EQ(sink->setCueList(twoTrackCues(), owner), -1);
    EXPECT_EQ(feed->started, 0);
    EXPECT_FALSE(sink->release());
    EXPECT_EQ(feed->closed, 1);
    EXPECT_FALSE(feed->closedComplete);
}

TEST_F(ImageSinkTest, RecorderModeWithoutRecorderFails) {
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner, {false, nullptr, nullptr});
    EXPECT_EQ(sink->setCueList(twoTrackCues(), owner), -1);
    EXPECT_FALSE(sink->failureReason().empty());
}

}  // namespace
}  // namespace tellavine::vcd
