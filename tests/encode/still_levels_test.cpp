// The sample levels of encoded stills, read back by an independent decoder (ffmpeg),
// which takes MPEG-1 luma as 16..235 like every player.

#include "compose/slide_frame.h"
#include "encode/still_encoder.h"
#include "encode/worker_protocol.h"
#include "encode/ycbcr_conversion.h"

#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

using testing::readBytes;

constexpr int kLevels[] = {0, 16, 128, 235, 255};

// A 352 x 288 picture of vertical grey bands, one per level of kLevels.
testing::TestPicture greyBands() {
    testing::TestPicture picture{352, 288, {}};
    picture.pixels.resize(352 * 288 * 3);
    for (int row = 0; row < 288; ++row)
        for (int column = 0; column < 352; ++column)
            for (int c = 0; c < 3; ++c)
                picture.pixels[(row * 352 + column) * 3 + c] = static_cast<std::uint8_t>(kLevels[column * 5 / 352]);
    return picture;
}

struct LevelsCase {
    StillLevels levels;
    double (*expectedLuma)(int level);
};

class StillLevelsTest : public ::testing::TestWithParam<LevelsCase> {
protected:
    testing::TempDir dir;
    MpegWorkerClient worker{testing::realWorkerOptions()};
};

TEST_P(StillLevelsTest, GreyLevelsDecodeToTheLumaOfTheirRange) {
    const auto picture = greyBands();
    const auto path = dir.file("bands.m1v");
    ASSERT_TRUE(encodeStill(picture.view(), path, {TvStandard::PAL, GetParam().levels}, StillWrite::Create, worker));
    const std::string yuv = testing::decodedStill(path, "yuv420p");
    ASSERT_GE(yuv.size(), 352u * 288);
    for (int band = 0; band < 5; ++band) {
        // The mean of a 16 x 16 block in the middle of the band, away from its edges.
        const int left = band * 352 / 5 + 352 / 10 - 8;
        double sum = 0;
        for (int row = 136; row < 152; ++row)
            for (int column = left; column < left + 16; ++column) sum += static_cast<std::uint8_t>(yuv[row * 352 + column]);
        EXPECT_NEAR(sum / 256, GetParam().expectedLuma(kLevels[band]), 2.0) << "level " << kLevels[band];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, StillLevelsTest,
    ::testing::Values(LevelsCase{StillLevels::Studio, [](int level) { return 16 + 219.0 * level / 255; }},
                      LevelsCase{StillLevels::Full, [](int level) { return double(level); }}),
    [](const auto& info) { return info.param.levels == StillLevels::Studio ? "Studio" : "Full"; });

TEST(StillLevels, FullLevelsGiveTheStillOfTheFullRangeConversion) {
    // What FullRangeStills=1 writes must be the still of the older conversion, byte for byte.
    testing::TempDir dir;
    MpegWorkerClient worker{testing::realWorkerOptions()};
    const auto picture = testing::makePicture(704, 576, 3);
    ASSERT_TRUE(encodeStill(picture.view(), dir.file("full.m1v"), {TvStandard::PAL, StillLevels::Full},
                            StillWrite::Create, worker));

    const auto frame = convertToYCbCr420(picture.view(), StillLevels::Full);
    mpegworker::EncodeStillRequest request;
    request.width = 704;
    request.height = 576;
    request.luma = frame.luma;
    request.blueChroma = frame.blueChroma;
    request.redChroma = frame.redChroma;
    request.norm = mpegworker::VideoNorm::Pal;
    auto reply = worker.run(mpegworker::encodeRequest(request));
    ASSERT_EQ(reply.status, mpegworker::ReplyStatus::Done);
    padStillToSize(reply.data, kHighResStillVbvBytes);
    EXPECT_EQ(readBytes(dir.file("full.m1v")), reply.data);
}

TEST(StillLevels, APhotoDecodesCloseToItsFrame) {
    testing::TempDir dir;
    MpegWorkerClient worker{testing::realWorkerOptions()};
    Slide slide;
    slide.path = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/garden.jpg";
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame && frame->valid());
    double quality[2] = {};
    for (const StillLevels levels : {StillLevels::Studio, StillLevels::Full}) {
        const auto path = dir.file("photo.m1v");
        ASSERT_TRUE(encodeStill(stillPictureOf(*frame), path, {TvStandard::PAL, levels}, StillWrite::Create, worker));
        const std::string rgb = testing::decodedStill(path, "rgb24");
        ASSERT_EQ(rgb.size(), std::size_t{704} * 576 * 3);
        quality[levels == StillLevels::Full] = testing::psnrAgainst(rgb, *frame);
    }
    RecordProperty("studio_psnr_db", std::to_string(quality[0]));
    RecordProperty("full_psnr_db", std::to_string(quality[1]));
    EXPECT_GE(quality[0], 33.0);
    EXPECT_GT(quality[0], quality[1]);
}

}  // namespace
}  // namespace tellavine
