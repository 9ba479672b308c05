// encodeStill against the real mjpegtools encoder in the worker process.

#include "encode/still_encoder.h"

#include "encode/mpeg_input_probe.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tellavine {
namespace {

using testing::makePicture;
using testing::readBytes;
using testing::startCodeOffsets;

struct SequenceHeader {
    int width, height, pelAspect, frameRate;
};

SequenceHeader sequenceHeaderAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return {(bytes[at + 4] << 4) | (bytes[at + 5] >> 4), ((bytes[at + 5] & 0x0F) << 8) | bytes[at + 6],
            bytes[at + 7] >> 4, bytes[at + 7] & 0x0F};
}

class StillEncoderTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    MpegWorkerClient worker{testing::realWorkerOptions()};
};

TEST_F(StillEncoderTest, HighResPalStillIsOneSequencePaddedToTheVbvSize) {
    const auto picture = makePicture(704, 576);
    const auto path = dir.file("hi.m1v");
    ASSERT_TRUE(encodeStill(picture.view(), path, TvStandard::PAL, StillWrite::Create, worker));

    const auto bytes = readBytes(path);
    EXPECT_EQ(bytes.size(), kHighResStillVbvBytes);
    const auto headers = startCodeOffsets(bytes, 0xB3);
    ASSERT_EQ(headers.size(), 1u);
    const auto header = sequenceHeaderAt(bytes, headers[0]);
    EXPECT_EQ(header.width, 704);
    EXPECT_EQ(header.height, 576);
    EXPECT_EQ(header.pelAspect, 8);
    EXPECT_EQ(header.frameRate, 3);
    EXPECT_EQ(startCodeOffsets(bytes, 0x00).size(), 1u) << "one picture";
    EXPECT_EQ(startCodeOffsets(bytes, 0xB7), std::vector<std::size_t>{bytes.size() - 4});
}

TEST_F(StillEncoderTest, NormalResNtscStillIsNearFortyKilobytesAndNotPadded) {
    // The first NTSC still of a fresh worker already carries the NTSC aspect code.
    const auto picture = makePicture(352, 240);
    const auto path = dir.file("small.m1v");
    ASSERT_TRUE(encodeStill(picture.view(), path, TvStandard::NTSC, StillWrite::Create, worker));

    const auto bytes = readBytes(path);
    EXPECT_GT(bytes.size(), 20u * 1024);
    EXPECT_LE(bytes.size(), 43008u);
    EXPECT_NE(bytes[bytes.size() - 5], 0) << "no zero stuffing before the end code";
    const auto headers = startCodeOffsets(bytes, 0xB3);
    ASSERT_EQ(headers.size(), 1u);
    const auto header = sequenceHeaderAt(bytes, headers[0]);
    EXPECT_EQ(header.width, 352);
    EXPECT_EQ(header.height, 240);
    EXPECT_EQ(header.pelAspect, 12);
    EXPECT_EQ(header.frameRate, 3);
}

TEST_F(StillEncoderTest, CreateThenAppendsKeepsStillsInCallOrder) {
    const auto path = dir.file("series.m1v");
    std::vector<std::vector<std::uint8_t>> singles;
    for (int seed = 0; seed < 3; ++seed) {
        const auto picture = makePicture(352, 288, seed);
        ASSERT_TRUE(encodeStill(picture.view(), path, TvStandard::PAL, seed == 0 ? StillWrite::Create : StillWrite::Append,
                                worker));
        const auto single = dir.file("single" + std::to_string(seed) + ".m1v");
        ASSERT_TRUE(encodeStill(picture.view(), single, TvStandard::PAL, StillWrite::Create, worker));
        singles.push_back(readBytes(single));
    }
    const auto bytes = readBytes(path);
    std::vector<std::uint8_t> expected;
    for (const auto& single : singles) expected.insert(expected.end(), single.begin(), single.end());
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(startCodeOffsets(bytes, 0xB3).size(), 3u);
    EXPECT_EQ(startCodeOffsets(bytes, 0xB7).size(), 3u);
    EXPECT_NE(singles[0], singles[1]);

    // Creating again truncates.
    const auto picture = makePicture(352, 288, 5);
    ASSERT_TRUE(encodeStill(picture.view(), path, TvStandard::PAL, StillWrite::Create, worker));
    EXPECT_EQ(startCodeOffsets(readBytes(path), 0xB3).size(), 1u);
}

TEST_F(StillEncoderTest, UnwritableOutputIsReportedAndTheWorkerStaysUp) {
    const auto picture = makePicture(352, 288);
    ASSERT_TRUE(encodeStill(picture.view(), dir.file("warm.m1v"), TvStandard::PAL, StillWrite::Create, worker));
    const auto pid = worker.workerProcessId();

    const auto path = dir.file("missing-folder/still.m1v");
    const auto result = encodeStill(picture.view(), path, TvStandard::PAL, StillWrite::Create, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Couldn't create output file " + path);
    EXPECT_EQ(worker.workerProcessId(), pid);
    EXPECT_TRUE(encodeStill(picture.view(), dir.file("after.m1v"), TvStandard::PAL, StillWrite::Create, worker));
}

TEST_F(StillEncoderTest, IllegalSizesAreRefusedWithTheEncoderMessages) {
    auto picture = makePicture(352, 288);
    auto view = picture.view();
    view.width = 0;
    auto result = encodeStill(view, dir.file("a.m1v"), TvStandard::PAL, StillWrite::Create, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Horizontal size from input stream illegal\n");
    view = picture.view();
    view.height = -2;
    result = encodeStill(view, dir.file("a.m1v"), TvStandard::PAL, StillWrite::Create, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Vertical size from input stream illegal\n");
}

TEST_F(StillEncoderTest, LibraryFatalErrorIsShownAndTheNextStillWorks) {
    // A 704-wide picture of the wrong height makes the library give up (its exit
    // path); the worker sends the message and leaves, and the next still starts a new one.
    const auto odd = makePicture(704, 16);
    const auto result = encodeStill(odd.view(), dir.file("odd.m1v"), TvStandard::PAL, StillWrite::Create, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "VCD high resolution stills must be 704x576 (PAL) or 704x480 (NTSC)\n");
    EXPECT_EQ(worker.workerProcessId(), 0);

    const auto picture = makePicture(352, 288);
    EXPECT_TRUE(encodeStill(picture.view(), dir.file("next.m1v"), TvStandard::PAL, StillWrite::Create, worker));
    EXPECT_EQ(worker.workersStarted(), 2);
}

TEST(StillPaddingTest, ZerosGoBeforeTheEndCodeOnly) {
    std::vector<std::uint8_t> still{0, 0, 1, 0xB3, 9, 9, 0, 0, 1, 0xB7};
    padStillToSize(still, 16);
    EXPECT_EQ(still, (std::vector<std::uint8_t>{0, 0, 1, 0xB3, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xB7}));
    auto large = still;
    padStillToSize(large, 8);
    EXPECT_EQ(large, still);
    std::vector<std::uint8_t> noEnd{0, 0, 1, 0xB3, 1};
    padStillToSize(noEnd, 64);
    EXPECT_EQ(noEnd.size(), 5u);
}

}  // namespace
}  // namespace tellavine
