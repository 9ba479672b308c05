// The stock MPEG files of data/: their structure, their use as the normal-resolution
// half of a mixed still, and that scripts/make-stock-mpeg.sh makes exactly them.

#include "encode/mpeg_input_probe.h"
#include "encode/multiplexer.h"
#include "encode/still_encoder.h"
#include "program_stream_reader.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

std::string dataFile(const std::string& name) { return std::string(TELLAVINE_SOURCE_DIR) + "/data/" + name; }

struct SequenceHeader {
    int width, height, pelAspect, frameRate;
};

SequenceHeader firstSequenceHeader(const std::vector<std::uint8_t>& bytes) {
    const auto at = testing::startCodeOffsets(bytes, 0xB3).at(0);
    return {(bytes[at + 4] << 4) | (bytes[at + 5] >> 4), ((bytes[at + 5] & 0x0F) << 8) | bytes[at + 6],
            bytes[at + 7] >> 4, bytes[at + 7] & 0x0F};
}

TEST(StockMpegTest, StockStillsAreNormalResolutionVcdStills) {
    struct Case {
        const char* name;
        int height, pelAspect;
    };
    for (const auto& stock : {Case{"temp_x.npal", 288, 8}, Case{"temp_x.ntsc", 240, 12}}) {
        SCOPED_TRACE(stock.name);
        const auto bytes = testing::readBytes(dataFile(stock.name));
        EXPECT_EQ(classifyMpegInput(bytes), MpegInputKind::MpegVideo);
        const auto summary = summariseMpegVideo(bytes);
        EXPECT_EQ(summary.pictures, 1);
        EXPECT_LE(bytes.size(), 46u * 1024);
        const auto header = firstSequenceHeader(bytes);
        EXPECT_EQ(header.width, 352);
        EXPECT_EQ(header.height, stock.height);
        EXPECT_EQ(header.pelAspect, stock.pelAspect);
        EXPECT_EQ(header.frameRate, 3);
    }
}

TEST(StockMpegTest, StockSequencesAreShortVcdProgramStreams) {
    struct Case {
        const char* name;
        int height, frameRate, pictures;
    };
    for (const auto& stock : {Case{"avseq01.npal", 288, 3, 75}, Case{"avseq01.ntsc", 240, 4, 89}}) {
        SCOPED_TRACE(stock.name);
        const auto stream = testing::readProgramStream(testing::readBytes(dataFile(stock.name)));
        ASSERT_TRUE(stream.wellFormed) << stream.error;
        const auto& video = stream.payloads.at(0xE0);
        const auto header = firstSequenceHeader(video);
        EXPECT_EQ(header.width, 352);
        EXPECT_EQ(header.height, stock.height);
        EXPECT_EQ(header.frameRate, stock.frameRate);
        EXPECT_EQ(summariseMpegVideo(video).pictures, stock.pictures);
        const auto audio = summariseMpegAudio(stream.payloads.at(0xC0));
        ASSERT_TRUE(audio.valid);
        EXPECT_NEAR(audio.seconds, 3.0, 0.05);
        EXPECT_EQ(audio.bytesPerSecond, 28000u);
    }
}

TEST(StockMpegTest, StockStillsPairWithHighResolutionStills) {
    testing::TempDir dir;
    MpegWorkerClient worker(testing::realWorkerOptions());
    for (const auto standard : {TvStandard::PAL, TvStandard::NTSC}) {
        const bool pal = standard == TvStandard::PAL;
        const auto picture = testing::makePicture(704, pal ? 576 : 480);
        ASSERT_TRUE(encodeStill(picture.view(), dir.file("temp_d.m1v"), standard, StillWrite::Create, worker));
        const auto output = dir.file("segment.mpg");
        ASSERT_TRUE(multiplexStillPair(output, dir.file("temp_d.m1v"), dataFile(pal ? "temp_x.npal" : "temp_x.ntsc"),
                                       worker));
        const auto stream = testing::readProgramStream(testing::readBytes(output));
        ASSERT_TRUE(stream.wellFormed) << stream.error;
        EXPECT_EQ(stream.payloads.at(0xE1), testing::readBytes(dataFile(pal ? "temp_x.npal" : "temp_x.ntsc")));
    }
}

TEST(StockMpegTest, ScriptReproducesTheCommittedFiles) {
    testing::TempDir dir;
    const auto made = testing::runShell(testing::shellQuoted(std::string(TELLAVINE_SOURCE_DIR) + "/scripts/make-stock-mpeg.sh") +
                                        " " + testing::shellQuoted(dir.folder()));
    EXPECT_TRUE(made.succeeded() && made.output.empty()) << made.output;
    for (const char* name : {"temp_x.npal", "temp_x.ntsc", "avseq01.npal", "avseq01.ntsc"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(testing::readBytes(dir.file(name)), testing::readBytes(dataFile(name)));
    }
}

}  // namespace
}  // namespace tellavine
