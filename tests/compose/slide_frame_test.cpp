#include "compose/slide_frame.h"

#include "compose/caption.h"
#include "compose/test_pictures.h"
#include "compose/text_renderer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace tellavine {
namespace {

using testing::solidPicture;
using testing::writeBmp;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

class SlideFrameTest : public ::testing::Test {
protected:
    Slide photoSlide(int width, int height, Rgb colour = kWhite) {
        Slide slide;
        slide.path = dir_.file("photo_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
        EXPECT_TRUE(writeBmp(slide.path, solidPicture(width, height, colour)));
        return slide;
    }

    // Rows (from the top) and columns of the still that hold any photo pixel.
    static void photoBounds(const StillFrame& frame, int& top, int& bottom, int& left, int& right) {
        top = frame.height; bottom = -1; left = frame.width; right = -1;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x)
                if (frame.pixelFromTop(x, y).r > 127) {
                    top = std::min(top, y); bottom = std::max(bottom, y);
                    left = std::min(left, x); right = std::max(right, x);
                }
    }

    ::tellavine::testing::TempDir dir_;
};

TEST_F(SlideFrameTest, AFourByThreePhotoFillsTheFourByThreeFrameAndIsSqueezed) {
    Slide slide = photoSlide(1600, 1200);
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::Aspect4x3, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 704);
    EXPECT_EQ(frame->height, 576);
    EXPECT_EQ(frame->pixelFromTop(0, 0), kWhite);
    EXPECT_EQ(frame->pixelFromTop(703, 575), kWhite);
}

TEST_F(SlideFrameTest, CropFiveLeavesFourteenBlackRowsBelowAndSixteenAbove) {
    Slide slide = photoSlide(1600, 1200);
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::Aspect4x3, 5, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    int top, bottom, left, right;
    photoBounds(*frame, top, bottom, left, right);
    EXPECT_EQ(top, 16);
    EXPECT_EQ(575 - bottom, 14);
    // 729 of 768 columns from x = 19, squeezed by 704 / 768.
    EXPECT_NEAR(left, 19 * 704 / 768.0, 1.0);
    EXPECT_NEAR(right + 1, (19 + 729) * 704 / 768.0, 1.0);
    EXPECT_EQ(frame->pixelFromTop(352, 15), kBlack);
    EXPECT_EQ(frame->pixelFromTop(352, 16), kWhite);
}

TEST_F(SlideFrameTest, PortraitPhotoIsCentredBetweenBlackBars) {
    Slide slide = photoSlide(600, 800);
    const auto frame = composeSlideFrame(slide, {TvStandard::NTSC, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 704);
    EXPECT_EQ(frame->height, 480);
    int top, bottom, left, right;
    photoBounds(*frame, top, bottom, left, right);
    EXPECT_EQ(left, 172);
    EXPECT_EQ(right, 172 + 360 - 1);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 479);
}

TEST_F(SlideFrameTest, TooTallLandscapeIsFittedByHeight) {
    Slide slide = photoSlide(1000, 900);
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    int top, bottom, left, right;
    photoBounds(*frame, top, bottom, left, right);
    EXPECT_EQ(right - left + 1, 640);  // 1000 x 900 into 704 x 576: 640 x 576
    EXPECT_EQ(left, 32);
}

TEST_F(SlideFrameTest, RotationTurnsThePhotoBeforeFittingAndOddAnglesAreIgnored) {
    Slide slide = photoSlide(800, 600);
    slide.rotation = 90;
    const auto turned = composeSlideFrame(slide, {TvStandard::NTSC, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(turned);
    int top, bottom, left, right;
    photoBounds(*turned, top, bottom, left, right);
    EXPECT_EQ(right - left + 1, 360);  // portrait 600 x 800 in 704 x 480

    slide.rotation = 45;
    const auto straight = composeSlideFrame(slide, {TvStandard::NTSC, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(straight);
    photoBounds(*straight, top, bottom, left, right);
    EXPECT_EQ(right - left + 1, 640);  // 800 x 600 landscape in 704 x 480: 640 x 480
}

TEST_F(SlideFrameTest, RotationKeepsTheContentOrientedClockwise) {
    // A photo whose top half is red and bottom half blue: turned right, red is on the right.
    Picture picture = solidPicture(400, 300, {0, 0, 255});
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 400; ++x) picture.setPixel(x, y, {255, 0, 0});
    Slide slide;
    slide.path = dir_.file("halves.bmp");
    ASSERT_TRUE(writeBmp(slide.path, picture));
    slide.rotation = 90;
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    EXPECT_GT(frame->pixelFromTop(352 + 100, 288).r, 200);
    EXPECT_GT(frame->pixelFromTop(352 - 100, 288).b, 200);
}

TEST_F(SlideFrameTest, CropsOutsideOneToTwentyBehaveAsNoCrop) {
    Slide slide = photoSlide(704, 576);
    for (int crop : {25, -1, 0}) {
        const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, crop, StillResolution::HighRes});
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->pixelFromTop(0, 0), kWhite) << crop;
    }
    const auto twenty = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 20, StillResolution::HighRes});
    int top, bottom, left, right;
    photoBounds(*twenty, top, bottom, left, right);
    EXPECT_EQ(right - left + 1, 563);
    EXPECT_EQ(bottom - top + 1, 460);
}

TEST_F(SlideFrameTest, NormalResolutionStillsAreHalfWidth) {
    Slide slide = photoSlide(640, 480);
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::Aspect16x9, 5, StillResolution::NormalRes});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 352);
    EXPECT_EQ(frame->height, 288);
    EXPECT_EQ(frame->resolution, StillResolution::NormalRes);
}

TEST_F(SlideFrameTest, APhotoThatCannotBeLoadedFails) {
    Slide slide;
    slide.path = dir_.file("missing.jpg");
    EXPECT_FALSE(composeSlideFrame(slide, {}));
    ::tellavine::testing::writeFile(dir_.file("broken.jpg"), "not a picture");
    slide.path = dir_.file("broken.jpg");
    EXPECT_FALSE(composeSlideFrame(slide, {}));
}

TEST_F(SlideFrameTest, AnExtremelyThinPhotoIsKeptUnresizedAndCutByTheFrame) {
    Slide slide = photoSlide(1, 3000);
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 704);
    EXPECT_EQ(frame->pixelFromTop(352, 100), kWhite);  // mixed at x = 352, rows cut
    EXPECT_EQ(frame->pixelFromTop(351, 100), kBlack);
}

TEST_F(SlideFrameTest, TheCaptionIsDrawnOnTheFrameWithItsShadow) {
    Slide slide = photoSlide(704, 576, {0, 0, 255});
    slide.hasCaption = true;
    slide.caption.text = "Summer 2026";
    slide.caption.align = CaptionAlign::BottomCenter;
    slide.caption.textColour = makeColourRef(255, 255, 0);
    slide.caption.shadow = true;
    slide.caption.shadowColour = 0;
    const auto frame = composeSlideFrame(slide, {TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes});
    ASSERT_TRUE(frame);
    int yellow = 0, black = 0;
    for (int y = 400; y < 576; ++y)
        for (int x = 0; x < 704; ++x) {
            const Rgb p = frame->pixelFromTop(x, y);
            if (p.r > 200 && p.g > 200 && p.b < 60) ++yellow;
            if (p.r < 30 && p.g < 30 && p.b < 30) ++black;
        }
    EXPECT_GT(yellow, 100);
    EXPECT_GT(black, 50);
    EXPECT_GE(slide.caption.y, 576 - 40 - 60);  // written back near the bottom margin
}

// Camera-sized photos: the bundled samples enlarged with sensor-like noise, made once.
class LargePhotoFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder_ = new ::tellavine::testing::TempDir; }
    static void TearDownTestSuite() { delete folder_; }

    static std::string largePhoto(const std::string& sample, int width, int height) {
        const std::string path = folder_->file(sample + "_" + std::to_string(width) + "x" + std::to_string(height) + ".jpg");
        const std::string command = "ffmpeg -nostdin -loglevel error -y -i '" + std::string(TELLAVINE_SOURCE_DIR) +
                                    "/samples/photos/" + sample + "' -vf scale=" + std::to_string(width) + ":" +
                                    std::to_string(height) + ",noise=alls=10:allf=u -q:v 3 '" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    static double psnr(const StillFrame& a, const StillFrame& b) {
        double squares = 0;
        for (std::size_t i = 0; i < a.bits.size(); ++i) {
            const double difference = double(a.bits[i]) - double(b.bits[i]);
            squares += difference * difference;
        }
        if (squares == 0) return INFINITY;
        return 10 * std::log10(255.0 * 255.0 * a.bits.size() / squares);
    }

    static ::tellavine::testing::TempDir* folder_;
};
::tellavine::testing::TempDir* LargePhotoFrames::folder_ = nullptr;

TEST_F(LargePhotoFrames, ReducedDecodingStaysWithin45DbOfDecodingWhole) {
    struct Case {
        std::string photo;
        int rotation;
        SlideFrameRequest request;
    };
    const std::string landscape = largePhoto("ladybird.jpg", 4000, 3000);
    const std::string portrait = largePhoto("two_wings_portrait.jpg", 3000, 4000);
    const std::string odd = largePhoto("storm.jpg", 4001, 2999);
    const Case cases[] = {
        // Decoded at 1/2 (2000 x 1500, 1500 x 2000) for the 704-wide stills, 1/4 (1001 x 750)
        // for the 352-wide ones.
        {landscape, 0, {TvStandard::PAL, AspectCorrection::Aspect4x3, 5, StillResolution::HighRes}},
        {landscape, 90, {TvStandard::NTSC, AspectCorrection::NoCorrection, 0, StillResolution::HighRes}},
        {portrait, 0, {TvStandard::PAL, AspectCorrection::Aspect4x3, 10, StillResolution::HighRes}},
        {odd, 270, {TvStandard::PAL, AspectCorrection::Aspect4x3, 5, StillResolution::NormalRes}},
        {odd, 0, {TvStandard::NTSC, AspectCorrection::Aspect4x3, 0, StillResolution::NormalRes}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.photo + " rotation " + std::to_string(c.rotation));
        Slide reducedSlide;
        reducedSlide.path = c.photo;
        reducedSlide.rotation = c.rotation;
        reducedSlide.hasCaption = true;
        reducedSlide.caption.text = "Camera photo";
        Slide wholeSlide = reducedSlide;
        SlideFrameRequest whole = c.request;
        whole.reducedDecoding = false;
        const auto reduced = composeSlideFrame(reducedSlide, c.request);
        const auto exact = composeSlideFrame(wholeSlide, whole);
        ASSERT_TRUE(reduced && exact);
        ASSERT_EQ(reduced->width, exact->width);
        ASSERT_EQ(reduced->height, exact->height);
        EXPECT_NE(reduced->bits, exact->bits);  // the reduction really happened
        EXPECT_GE(psnr(*reduced, *exact), 45.0);
        EXPECT_EQ(reducedSlide.caption.x, wholeSlide.caption.x);
        EXPECT_EQ(reducedSlide.caption.y, wholeSlide.caption.y);
    }
}

TEST(StillFrame, IsABottomUpBgrBitmap) {
    Picture picture = solidPicture(704, 2, kBlack);
    picture.setPixel(0, 0, {10, 20, 30});  // top-left
    const StillFrame frame = makeStillFrame(picture, StillResolution::HighRes);
    ASSERT_TRUE(frame.valid());
    EXPECT_EQ(frame.rowBytes(), 704u * 3);
    // The top row is the second row in the buffer, blue first.
    EXPECT_EQ(frame.bits[704 * 3 + 0], 30);
    EXPECT_EQ(frame.bits[704 * 3 + 1], 20);
    EXPECT_EQ(frame.bits[704 * 3 + 2], 10);
    EXPECT_EQ(frame.pixelFromTop(0, 0), (Rgb{10, 20, 30}));
    const auto header = frame.bitmapInfoHeader();
    ASSERT_EQ(header.size(), 40u);
    EXPECT_EQ(header[0], 40);
    EXPECT_EQ(header[4] | header[5] << 8, 704);
    EXPECT_EQ(header[8], 2);    // positive height: bottom-up
    EXPECT_EQ(header[14], 24);  // bits per pixel
    EXPECT_EQ(pictureFromStillFrame(frame).pixels(), picture.pixels());

    const StillFrame padded = makeStillFrame(solidPicture(3, 2, kWhite), StillResolution::NormalRes);
    EXPECT_EQ(padded.rowBytes(), 12u);
    EXPECT_EQ(padded.bits.size(), 24u);
}

}  // namespace
}  // namespace tellavine
