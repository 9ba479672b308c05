// The worker's choice of the encoder library's transforms: the fast pair codes every
// still, and what it codes decodes as close to the photo as the reference pair's still.

#include "compose/slide_frame.h"
#include "encode/still_encoder.h"

#include "support/child_process.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace tellavine {
namespace {

using testing::shellOutput;
using testing::shellQuoted;

TEST(StillDct, WorkerNamesTheTransformsThatCodedItsStill) {
    const std::string worker = shellQuoted(defaultMpegWorkerPath());
    EXPECT_EQ(shellOutput(worker + " --describe-transforms"), "forward_dct fdct_daan\ninverse_dct idct\n");
    EXPECT_EQ(shellOutput(worker + " --job-budget 5 --reference-dct --describe-transforms"),
              "forward_dct fdct_ref\ninverse_dct idct_ref\n");
}

// A worker that codes with the reference transforms: the real one behind a script.
MpegWorkerOptions referenceDctWorker(const testing::TempDir& dir) {
    MpegWorkerOptions options;
    options.executablePath = dir.file("reference-worker.sh");
    std::ofstream(options.executablePath) << "#!/bin/sh\nexec " << shellQuoted(defaultMpegWorkerPath())
                                          << " --reference-dct \"$@\"\n";
    ::chmod(options.executablePath.c_str(), 0755);
    return options;
}

struct DctCase {
    const char* photo;
    StillResolution resolution;
};

class StillDctQualityTest : public ::testing::TestWithParam<DctCase> {};

TEST_P(StillDctQualityTest, FastTransformsStayWithinThreeTenthsOfADecibelOfTheReference) {
    testing::TempDir dir;
    MpegWorkerClient fast{testing::realWorkerOptions()};
    MpegWorkerClient reference{referenceDctWorker(dir)};
    Slide slide;
    slide.path = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/" + GetParam().photo;
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, GetParam().resolution});
    ASSERT_TRUE(frame && frame->valid());

    double quality[2] = {};
    MpegWorkerClient* workers[2] = {&fast, &reference};
    for (int i = 0; i < 2; ++i) {
        const auto path = dir.file("still" + std::to_string(i) + ".m1v");
        ASSERT_TRUE(encodeStill(stillPictureOf(*frame), path, TvStandard::PAL, StillWrite::Create, *workers[i]));
        const std::string rgb = testing::decodedStill(path, "rgb24");
        ASSERT_EQ(rgb.size(), std::size_t(frame->width) * frame->height * 3);
        quality[i] = testing::psnrAgainst(rgb, *frame);
    }
    RecordProperty("fast_dct_psnr_db", std::to_string(quality[0]));
    RecordProperty("reference_dct_psnr_db", std::to_string(quality[1]));
    EXPECT_GE(quality[0], quality[1] - 0.3) << "fast " << quality[0] << " dB, reference " << quality[1] << " dB";
}

INSTANTIATE_TEST_SUITE_P(Photos, StillDctQualityTest,
                         ::testing::Values(DctCase{"garden.jpg", StillResolution::HighRes},
                                           DctCase{"rain_drops.jpg", StillResolution::HighRes},
                                           DctCase{"storm.jpg", StillResolution::NormalRes}),
                         [](const auto& info) {
                             std::string name = info.param.photo;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '_');
                             return name + (info.param.resolution == StillResolution::HighRes ? "High" : "Normal");
                         });

}  // namespace
}  // namespace tellavine
