// Classification and checking of multiplexer inputs.

#include "encode/mpeg_input_probe.h"

#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

TEST(MpegInputProbeTest, ClassifiesByContentInTheLibrarysOrder) {
    EXPECT_EQ(classifyMpegInput({0xFF, 0xFD, 0x90, 0x00}), MpegInputKind::MpegAudio);
    EXPECT_EQ(classifyMpegInput({0x0B, 0x77, 0x00}), MpegInputKind::Ac3Audio);
    EXPECT_EQ(classifyMpegInput({0x00, 0x00, 0x01, 0xB3, 0x16}), MpegInputKind::MpegVideo);
    EXPECT_EQ(classifyMpegInput({0x00, 0x00, 0x01, 0xBA}), MpegInputKind::Unrecognised);  // a program stream
    EXPECT_EQ(classifyMpegInput({'I', 'D', '3'}), MpegInputKind::Unrecognised);
}

TEST(MpegInputProbeTest, MeasuresAndChecksMpegAudio) {
    testing::TempDir dir;
    testing::makeMp2(dir.file("tone.mp2"), 3.0, 192);
    auto bytes = testing::readBytes(dir.file("tone.mp2"));
    auto summary = summariseMpegAudio(bytes);
    ASSERT_TRUE(summary.valid);
    EXPECT_NEAR(summary.seconds, 3.0, 0.03);
    EXPECT_EQ(summary.bytesPerSecond, 24000u);
    EXPECT_EQ(summary.frames, static_cast<std::uint64_t>(summary.seconds * 44100 / 1152 + 0.5));

    // An ID3v1 tag may close the stream; other trailing bytes may not.
    auto tagged = bytes;
    std::string tag(128, ' ');
    tag.replace(0, 3, "TAG");
    tagged.insert(tagged.end(), tag.begin(), tag.end());
    EXPECT_TRUE(summariseMpegAudio(tagged).valid);
    auto trailing = bytes;
    trailing.push_back(0x42);
    summary = summariseMpegAudio(trailing);
    EXPECT_FALSE(summary.valid);
    EXPECT_EQ(summary.badFrameOffset, bytes.size());

    // Free format (bit-rate index 0) in the first frame.
    auto freeFormat = bytes;
    freeFormat[2] &= 0x0F;
    summary = summariseMpegAudio(freeFormat);
    EXPECT_FALSE(summary.valid);
    EXPECT_EQ(summary.badFrameOffset, 0u);
}

TEST(MpegInputProbeTest, ReadsVideoSizeAndCountsStills) {
    // Two minimal sequences: header (352 x 288), picture start, end code, the second
    // with zero stuffing.
    const std::vector<std::uint8_t> sequence{0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x83, 0, 0, 1, 0, 1, 2, 0, 0, 1, 0xB7};
    const auto first = sequence.size();
    std::vector<std::uint8_t> bytes;
    for (const auto byte : sequence) bytes.push_back(byte);
    for (std::size_t i = 0; i < first; ++i) {
        if (i == first - 4) bytes.resize(bytes.size() + 10, 0);  // stuffing before the end code
        bytes.push_back(sequence[i]);
    }
    const auto summary = summariseMpegVideo(bytes);
    EXPECT_EQ(summary.width, 352);
    EXPECT_EQ(summary.height, 288);
    EXPECT_EQ(summary.pictures, 2);
    EXPECT_EQ(summary.largestPictureBytes, first + 10);
}

TEST(MpegInputProbeTest, ReportsFilesThatCannotBeOpenedOrRead) {
    testing::TempDir dir;
    EXPECT_EQ(probeMpegInput(dir.file("missing")).open, MpegInputProbe::Open::CannotOpen);
    testing::writeFile(dir.file("empty"), "");
    EXPECT_EQ(probeMpegInput(dir.file("empty")).open, MpegInputProbe::Open::CannotRead);
}

}  // namespace
}  // namespace tellavine
