#include "support/bin_sectors.h"
#include "support/collecting_feed.h"
#include "support/mpeg_builder.h"
#include "support/recording_receiver.h"
#include "support/sector_check.h"
#include "support/temp_dir.h"
#include "vcd/authoring_object.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine::vcd {
namespace {

using tellavine::testing::TempDir;
using tellavine::testing::readFile;
using tellavine::testing::writeFile;
using namespace testing;
using tellavine::testing::RecordingReceiver;

class AuthoringTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.window.attach(receiver);
    }
    std::string streamFile(const std::vector<Bytes>& packs) {
        const auto path = dir.file("s" + std::to_string(++files) + ".mpg");
        writeBytes(path, packs);
        return path;
    }
    std::unique_ptr<MpegSource> source(const std::vector<Bytes>& packs) {
        return createMpegSource(openFileDataSource(streamFile(packs)));
    }
    static std::vector<Bytes> stills(int count, double step = 0.5) {
        std::vector<Bytes> packs;
        for (int i = 0; i < count; ++i) packs.push_back(stillPack(1.0 + i * step, i + 1 == count));
        return packs;
    }
    std::vector<std::uint8_t> sector(std::uint32_t lsn) { return readSector(dir.file("disc.bin"), lsn); }

    TempDir dir;
    int files = 0;
    SinkOwner owner;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
};

TEST_F(AuthoringTest, CreationAcceptsTheVideoCdTypesOnly) {
    EXPECT_EQ(createAuthoringObject(0), nullptr);
    EXPECT_EQ(createAuthoringObject(6), nullptr);
    EXPECT_EQ(createAuthoringObject(4), nullptr);  // Super Video CD file sets are not built
    ASSERT_NE(createAuthoringObject(3), nullptr);
    EXPECT_EQ(createAuthoringObject(3)->numberParameter(NumberParameter::TrackFrontMargin), 30u);
    EXPECT_EQ(createAuthoringObject(1)->numberParameter(NumberParameter::TrackRearMargin), 45u);
}

TEST_F(AuthoringTest, ParametersAreCutAndClamped) {
    auto object = createAuthoringObject(3);
    object->setTextParameter(TextParameter::VolumeId, "LABEL");
    object->setTextParameter(TextParameter::PublisherId, std::string(200, 'p'));
    EXPECT_EQ(object->textParameter(TextParameter::PublisherId), std::string(128, 'p'));
    EXPECT_EQ(object->textParameter(TextParameter::VolumeId), "LABEL");
    object->setTextParameter(TextParameter::AlbumId, "A VERY LONG ALBUM NAME");
    EXPECT_EQ(object->textParameter(TextParameter::AlbumId), "A VERY LONG ALBU");
    // A character that would be split at the limit is left out whole.
    object->setTextParameter(TextParameter::AlbumId, "SUMMER IN M\xC3\xA1LAGA");
    EXPECT_EQ(object->textParameter(TextParameter::AlbumId), "SUMMER IN M\xC3\xA1LAG");
    object->setTextParameter(TextParameter::AlbumId, "FIFTEEN BYTES X\xC3\xA9");
    EXPECT_EQ(object->textParameter(TextParameter::AlbumId), "FIFTEEN BYTES X");
    struct Case { NumberParameter id; std::uint32_t value, stored; };
    for (const Case& c : {Case{NumberParameter::TrackPregap, 0, 1}, Case{NumberParameter::TrackPregap, 301, 300},
                          Case{NumberParameter::Restriction, 7, 3}, Case{NumberParameter::VolumeCount, 70000, 65535},
                          Case{NumberParameter::VolumeCount, 0, 1}, Case{NumberParameter::VolumeNumber, 65535, 65534},
                          Case{NumberParameter::LeadoutPregap, 0, 0}, Case{NumberParameter::LeadoutPregap, 999, 300},
                          Case{NumberParameter::TrackFrontMargin, 151, 150}, Case{NumberParameter::TrackRearMargin, 0, 0}}) {
        EXPECT_EQ(object->setNumberParameter(c.id, c.value), 0);
        EXPECT_EQ(object->numberParameter(c.id), c.stored) << static_cast<int>(c.id) << " " << c.value;
    }
}

TEST_F(AuthoringTest, ItemsShareOneNameSpaceAndSegmentsNeedPacks) {
    auto object = createAuthoringObject(3);
    EXPECT_EQ(object->appendSegmentItem(source({}), "empty"), -1);
    EXPECT_EQ(object->appendSegmentItem(source(stills(1)), "menu"), 0);
    EXPECT_EQ(object->appendSegmentItem(source(stills(1)), "menu"), -1);
    EXPECT_EQ(object->appendSegmentItem(source(stills(1)), ""), -1);
    EXPECT_EQ(object->appendSequenceItem(source(stills(1)), std::string("x"), std::string("x")), -1);
    EXPECT_EQ(object->appendSequenceItem(source(stills(1)), std::string("menu"), std::nullopt), -1);
    EXPECT_EQ(object->appendSequenceItem(source(stills(1)), std::string("video"), std::string("entry")), 0);
    PbcNode node = createPbcNode(PbcNodeKind::SelectionList);
    node.id = "page";
    EXPECT_EQ(object->appendPbcNode(node), 0);
    EXPECT_EQ(object->appendPbcNode(node), -1);
    node.id = "entry";
    EXPECT_EQ(object->appendPbcNode(node), -1);
    EXPECT_EQ(object->addSegmentPause(std::string("nothing"), 1.0), -1);
    EXPECT_EQ(object->addSegmentPause(std::nullopt, 3.0), 0);
    EXPECT_EQ(object->addSegmentPause(std::string("menu"), 1.0), 0);
    EXPECT_EQ(object->segments()[0].pauses.front().time, 1.0);  // kept ascending
    EXPECT_EQ(object->playItemNumber("video"), 2);
    EXPECT_EQ(object->playItemNumber("entry"), 100);
    EXPECT_EQ(object->playItemNumber("menu"), 1000);
    EXPECT_EQ(object->playItemNumber("page"), 0);

    auto vcd11 = createAuthoringObject(2);
    EXPECT_EQ(vcd11->appendSegmentItem(source(stills(1)), "still"), -1);
    EXPECT_EQ(vcd11->appendPbcNode(node), -1);
}

TEST_F(AuthoringTest, SegmentUnitsAndPlayItemNumbers) {
    auto object = createAuthoringObject(3);
    std::vector<Bytes> packs150(150, stillPack(1.0)), packs151(151, stillPack(1.0));
    ASSERT_EQ(object->appendSegmentItem(source(packs151), "a"), 0);
    ASSERT_EQ(object->appendSegmentItem(source(packs150), "b"), 0);
    ASSERT_EQ(object->appendSegmentItem(source(stills(1)), "c"), 0);
    EXPECT_EQ(object->segments()[0].units, 2u);
    EXPECT_EQ(object->segments()[1].units, 1u);
    EXPECT_EQ(object->segments()[2].units, 1u);
    EXPECT_EQ(object->playItemNumber("a"), 1000);
    EXPECT_EQ(object->playItemNumber("b"), 1002);
    EXPECT_EQ(object->playItemNumber("c"), 1003);
}

TEST_F(AuthoringTest, SequenceStartOffsetsAddPregapMarginsAndPacks) {
    auto object = createAuthoringObject(3);
    EXPECT_EQ(object->appendSequenceItem(source(std::vector<Bytes>(100, stillPack(1.0))), std::nullopt, std::nullopt), 0);
    EXPECT_EQ(object->appendSequenceItem(source(std::vector<Bytes>(200, stillPack(1.0))), std::nullopt, std::nullopt), 1);
    EXPECT_EQ(object->sequences()[0].startOffset, 150u);
    EXPECT_EQ(object->sequences()[1].startOffset, 475u);
    EXPECT_EQ(object->trackSizeSum(), 750u);
    EXPECT_EQ(object->beginOutput(), 300 + 750 + 150);
}

TEST_F(AuthoringTest, RawCustomFilesMustBeWholeBodies) {
    auto object = createAuthoringObject(3);
    writeFile(dir.file("two.raw"), std::string(4672, 'r'));
    writeFile(dir.file("odd.raw"), std::string(4673, 'r'));
    writeFile(dir.file("none.raw"), "");
    EXPECT_EQ(object->addCustomFile("a/two.raw", openFileDataSource(dir.file("two.raw")), true), 0);
    EXPECT_EQ(object->customFiles()[0].sectors, 2u);
    EXPECT_EQ(object->customFiles()[0].isoPath, "A/TWO.RAW");
    EXPECT_EQ(object->addCustomFile("odd.raw", openFileDataSource(dir.file("odd.raw")), true), 1);
    EXPECT_EQ(object->addCustomFile("none.raw", openFileDataSource(dir.file("none.raw")), true), 1);
    EXPECT_EQ(openFileDataSource(dir.file("missing")), nullptr);
}

TEST_F(AuthoringTest, LimitsAreRefusedBeforeWriting) {
    auto object = createAuthoringObject(3);
    const auto path = streamFile(stills(1));
    for (int i = 0; i < 99; ++i)
        object->appendSequenceItem(createMpegSource(openFileDataSource(path)), std::nullopt, std::nullopt);
    EXPECT_EQ(object->beginOutput(), -1);
    EXPECT_NE(object->failureReason().find("98"), std::string::npos);

    auto segments = createAuthoringObject(3);
    const auto big = streamFile(std::vector<Bytes>(151, PackBuilder(1).finish(32)));  // short packs scan fast
    for (int i = 0; i < 991; ++i)  // two units each: 1982
        segments->appendSegmentItem(createMpegSource(openFileDataSource(big)), "s" + std::to_string(i));
    EXPECT_EQ(segments->beginOutput(), -1);
    EXPECT_NE(segments->failureReason().find("1980"), std::string::npos);

    auto longDisc = createAuthoringObject(3);
    const auto tiny = streamFile(std::vector<Bytes>(449'176, PackBuilder(1).finish(0)));  // 12-byte packs
    longDisc->appendSequenceItem(createMpegSource(openFileDataSource(tiny)), std::nullopt, std::nullopt);
    EXPECT_EQ(longDisc->beginOutput(), -1);  // lead-out at 300 + 150 + 30 + 449176 + 45 + 150 + 150 = 100:00:01
    EXPECT_NE(longDisc->failureReason().find("99 minutes"), std::string::npos);

    auto lists = createAuthoringObject(3);
    PbcNode node = createPbcNode(PbcNodeKind::PlayList);
    node.id = "long";
    node.items.assign(256, "x");
    lists->appendPbcNode(node);
    EXPECT_EQ(lists->beginOutput(), -1);
}

TEST_F(AuthoringTest, SegmentSectorsCarryTheirSubheadersAndTheFileIsDeleted) {
    auto object = createAuthoringObject(3);
    const auto segmentPath = streamFile(stills(3));
    const auto sequencePath = streamFile(std::vector<Bytes>(4, stillPack(1.0, false, 0xE0)));
    ASSERT_EQ(object->appendSegmentItem(createMpegSource(openFileDataSource(segmentPath)), "still"), 0);
    object->addSegmentPause(std::nullopt, 0.4);  // the pack at 1.5 s, 0.5 s after the first
    object->addSegmentPause(std::nullopt, 0.5);  // the same pack
    object->addSegmentPause(std::nullopt, 0.9);  // 2.0 s
    ASSERT_EQ(object->appendSequenceItem(createMpegSource(openFileDataSource(sequencePath)), std::nullopt, std::nullopt), 0);
    const auto total = object->beginOutput();
    ASSERT_EQ(total, 375 + 150 + 30 + 4 + 45 + 150);  // ISO track: control area 225 + one unit
    std::vector<WriteProgress> reports;
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    ASSERT_EQ(object->writeImage(sink.get(), [&](const WriteProgress& p) { return reports.push_back(p), 0; }, owner),
              kWriteComplete);
    EXPECT_FALSE(std::filesystem::exists(segmentPath));
    EXPECT_TRUE(std::filesystem::exists(sequencePath));

    auto subheader = [&](std::uint32_t lsn) {
        const auto s = sector(lsn);
        return std::array<int, 4>{s[16], s[17], s[18], s[19]};
    };
    EXPECT_EQ(subheader(225), (std::array<int, 4>{1, 2, 0x62, 0x1F}));
    EXPECT_EQ(subheader(226), (std::array<int, 4>{1, 2, 0x62 | 0x10, 0x1F}));
    EXPECT_EQ(subheader(227), (std::array<int, 4>{1, 2, 0x62 | 0x10 | 0x80 | 0x01, 0x1F}));
    EXPECT_EQ(subheader(228), (std::array<int, 4>{1, 0, 0x60, 0}));
    EXPECT_EQ(subheader(374), (std::array<int, 4>{1, 0, 0x60, 0}));
    EXPECT_EQ(sector(225)[24], 0x00);  // the pack itself starts the payload
    EXPECT_EQ(sector(225)[27], 0xBA);
    EXPECT_EQ(subheader(375), (std::array<int, 4>{0, 0, 0x20, 0}));       // pregap
    EXPECT_EQ(subheader(525), (std::array<int, 4>{1, 0, 0x60, 0}));       // front margin
    EXPECT_EQ(subheader(555), (std::array<int, 4>{1, 1, 0x62, 0x0F}));    // first pack
    EXPECT_EQ(subheader(558), (std::array<int, 4>{1, 1, 0x63, 0x0F}));    // last pack
    EXPECT_EQ(subheader(559), (std::array<int, 4>{1, 0, 0x60, 0}));       // rear margin
    EXPECT_EQ(subheader(603), (std::array<int, 4>{1, 0, 0xE0, 0}));
    EXPECT_EQ(subheader(604), (std::array<int, 4>{0, 0, 0x20, 0}));       // lead-out pregap
    EXPECT_EQ(std::filesystem::file_size(dir.file("disc.bin")), static_cast<std::uintmax_t>(total) * 2352);

    const auto cue = readFile(dir.file("disc.cue"));
    EXPECT_EQ(std::count(cue.begin(), cue.end(), '\n'), 8);
    EXPECT_NE(cue.find("    INDEX 00 00:05:00\r\n    INDEX 01 00:07:00\r\n"), std::string::npos) << cue;

    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().sectorsWritten, 0u);
    EXPECT_EQ(reports.back().sectorsWritten, static_cast<std::uint32_t>(total));
    EXPECT_EQ(reports.back().sectorsTotal, static_cast<std::uint32_t>(total - 150));
    EXPECT_EQ(reports.back().trackCount, 2u);
    EXPECT_EQ(reports.back().currentTrack, 2u);
    EXPECT_EQ(receiver->numbers().back(), WM_IMAGE_DONE);
}

TEST_F(AuthoringTest, RecorderModeGetsEverySectorOnceInDiscOrder) {
    auto feed = std::make_shared<CollectingFeed>();
    auto object = createAuthoringObject(3);
    writeFile(dir.file("a.jpg"), std::string(5000, 'a'));
    writeFile(dir.file("empty"), "");
    PbcNode node = createPbcNode(PbcNodeKind::SelectionList);
    node.id = "page";
    object->appendPbcNode(node);
    object->appendSegmentItem(source(stills(2)), "still");
    object->addCustomFile("A.JPG", openFileDataSource(dir.file("a.jpg")), false);
    object->addCustomFile("EMPTY", openFileDataSource(dir.file("empty")), false);
    object->appendSequenceItem(source(stills(3)), std::nullopt, std::nullopt);
    const auto total = object->beginOutput();
    ASSERT_GT(total, 0);
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner, {false, feed, nullptr});
    const int result = object->writeImage(sink.get(), {}, owner);
    ASSERT_EQ(result, kWriteComplete) << object->failureReason();
    ASSERT_EQ(feed->addresses.size(), static_cast<std::size_t>(total));
    for (std::size_t i = 0; i < feed->addresses.size(); ++i) ASSERT_EQ(feed->addresses[i], i + 150) << i;
    EXPECT_TRUE(feed->closedComplete);
    EXPECT_EQ(feed->started, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.bin")));
    EXPECT_EQ(receiver->count(WM_IMAGE_DONE), 0u);
}

TEST_F(AuthoringTest, EarlyStopsReleaseTheSinkAndSayWhy) {
    auto invalid = PackBuilder(1).raw({0x00, 0x00, 0x01, 0xB9}).finish(0);
    auto object = createAuthoringObject(3);
    object->appendSequenceItem(source({stillPack(1.0, false, 0xE0), invalid}), std::nullopt, std::nullopt);
    ASSERT_GT(object->beginOutput(), 0);
    EXPECT_EQ(object->writeImage(nullptr, {}, owner), kWriteNoSink);
    auto sink = createImageSink(dir.file("disc.cue"), dir.file("disc.bin"), owner);
    EXPECT_EQ(object->writeImage(sink.get(), {}, owner), kWriteStopped);
    EXPECT_NE(object->failureReason().find("invalid pack"), std::string::npos);
    EXPECT_EQ(receiver->count(WM_IMAGE_DONE), 0u);

    auto aborted = createAuthoringObject(3);
    ASSERT_GT(aborted->beginOutput(), 0);
    auto sink2 = createImageSink(dir.file("b.cue"), dir.file("b.bin"), owner);
    int calls = 0;
    EXPECT_EQ(aborted->writeImage(sink2.get(), [&](const WriteProgress&) { return ++calls > 2; }, owner), kWriteStopped);
    // A stopped image leaves no BIN, finished or partial.
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.bin.part")));

    auto full = createAuthoringObject(3);
    ASSERT_GT(full->beginOutput(), 0);
    auto sink3 = createImageSink(dir.file("c.cue"), "/dev/full", owner);
    EXPECT_EQ(full->writeImage(sink3.get(), {}, owner), kWriteStopped);
    EXPECT_NE(full->failureReason().find("/dev/full"), std::string::npos);
}

}  // namespace
}  // namespace tellavine::vcd
