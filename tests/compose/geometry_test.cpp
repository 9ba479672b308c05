#include "compose/frame_geometry.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

TEST(FrameGeometry, CompositionFramesFollowStandardAspectAndResolution) {
    using enum AspectCorrection;
    const auto high = StillResolution::HighRes, normal = StillResolution::NormalRes;
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, NoCorrection, high), (FrameSize{704, 576}));
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, Aspect4x3, high), (FrameSize{768, 576}));
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, Aspect16x9, high), (FrameSize{1024, 576}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, NoCorrection, high), (FrameSize{704, 480}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, Aspect4x3, high), (FrameSize{640, 480}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, Aspect16x9, high), (FrameSize{853, 480}));
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, Aspect4x3, normal), (FrameSize{384, 288}));
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, Aspect16x9, normal), (FrameSize{512, 288}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, Aspect4x3, normal), (FrameSize{320, 240}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, Aspect16x9, normal), (FrameSize{426, 240}));
    EXPECT_EQ(compositionFrameSize(TvStandard::NTSC, NoCorrection, normal), (FrameSize{352, 240}));
    // A damaged project's aspect value 3 behaves as no correction.
    EXPECT_EQ(compositionFrameSize(TvStandard::PAL, static_cast<AspectCorrection>(3), high), (FrameSize{704, 576}));
    EXPECT_EQ(outputStillSize(TvStandard::NTSC, normal), (FrameSize{352, 240}));
}

TEST(FrameGeometry, OnlyCropsFromOneToTwentyTakeEffect) {
    EXPECT_EQ(effectiveCrop(25), 0);
    EXPECT_EQ(effectiveCrop(-1), 0);
    EXPECT_EQ(effectiveCrop(0), 0);
    EXPECT_EQ(effectiveCrop(1), 1);
    EXPECT_EQ(effectiveCrop(20), 20);
    const SafeArea five = safeArea({768, 576}, 5);
    EXPECT_EQ(five.width, 729);
    EXPECT_EQ(five.height, 547);
    EXPECT_EQ(five.left, 19);
    EXPECT_EQ(five.bottom, 14);
    const SafeArea twenty = safeArea({704, 480}, 20);
    EXPECT_EQ(twenty.width, 563);  // 80 % of 704, truncated
    EXPECT_EQ(twenty.height, 384);
    const SafeArea none = safeArea({704, 480}, 25);
    EXPECT_EQ(none.width, 704);
    EXPECT_EQ(none.left, 0);
}

TEST(FrameGeometry, PhotosFitWholeKeepingTheirProportions) {
    EXPECT_EQ(fitPhoto(1600, 1200, 768, 576), (Placement{768, 576, 0, 0}));
    EXPECT_EQ(fitPhoto(1600, 1200, 729, 547), (Placement{729, 546, 0, 0}));
    EXPECT_EQ(fitPhoto(1000, 900, 768, 576), (Placement{640, 576, 64, 0}));  // too tall at full width
    EXPECT_EQ(fitPhoto(600, 800, 704, 480), (Placement{360, 480, 172, 0}));
    EXPECT_EQ(fitPhoto(500, 500, 704, 480), (Placement{480, 480, 112, 0}));  // square counts as portrait
    EXPECT_EQ(fitPhoto(3000, 1000, 704, 480), (Placement{704, 234, 0, 123}));
    EXPECT_EQ(fitPhoto(1, 5000, 704, 480).width, 0);  // resampling then refuses the size
}

}  // namespace
}  // namespace tellavine
