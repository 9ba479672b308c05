#include "compose/slide_frame.h"

#include "compose/caption.h"
#include "compose/test_pictures.h"
#include "compose/text_renderer.h"
#include "support/child_process.h"
#include "support/expect_if_set.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace tellavine {
namespace {

using testing::solidPicture;
using testing::expectIfSet;
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

    ::tellavine::testing::TempDir dir_;
};

// Rows (from the top) and columns of the still that hold any photo pixel.
struct PhotoBounds {
    int top, bottom, left, right;
};
PhotoBounds photoBounds(const StillFrame& frame) {
    PhotoBounds bounds{frame.height, -1, frame.width, -1};
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            if (frame.pixelFromTop(x, y).r > 127) {
                bounds.top = std::min(bounds.top, y);
                bounds.bottom = std::max(bounds.bottom, y);
                bounds.left = std::min(bounds.left, x);
                bounds.right = std::max(bounds.right, x);
            }
    return bounds;
}

struct Probe {
    int x, y;  // from the top left
    Rgb colour;
};

constexpr SlideFrameRequest kPal{TvStandard::PAL, AspectCorrection::NoCorrection, 0, StillResolution::HighRes};
constexpr SlideFrameRequest kNtsc{TvStandard::NTSC, AspectCorrection::NoCorrection, 0, StillResolution::HighRes};

SlideFrameRequest palCropped(int crop, AspectCorrection aspect = AspectCorrection::NoCorrection) {
    return {TvStandard::PAL, aspect, crop, StillResolution::HighRes};
}

// A white photo of a given size composed into a still: the frame's size, where the photo
// lies (a row pins only what it sets), and single pixels.
struct FitCase {
    const char* name;
    int photoWidth, photoHeight, rotation = 0;
    SlideFrameRequest request = kPal;
    int frameWidth = 704, frameHeight = 576;
    std::optional<double> left = {}, right = {};  // within columnTolerance
    std::optional<int> top = {}, bottom = {}, width = {}, height = {};
    double columnTolerance = 0;
    std::vector<Probe> probes = {};
};
void PrintTo(const FitCase& c, std::ostream* out) { *out << c.name; }  // ctest's name for the row

class SlideFit : public SlideFrameTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(SlideFit, PlacesThePhoto) {
    const FitCase& c = GetParam();
    Slide slide = photoSlide(c.photoWidth, c.photoHeight);
    slide.rotation = c.rotation;
    const auto frame = composeSlideFrame(slide, c.request);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, c.frameWidth);
    EXPECT_EQ(frame->height, c.frameHeight);
    EXPECT_EQ(frame->resolution, c.request.resolution);
    const PhotoBounds bounds = photoBounds(*frame);
    if (c.left) {
        EXPECT_NEAR(bounds.left, *c.left, c.columnTolerance);
    }
    if (c.right) {
        EXPECT_NEAR(bounds.right, *c.right, c.columnTolerance);
    }
    expectIfSet(c.top, bounds.top, "top");
    expectIfSet(c.bottom, bounds.bottom, "bottom");
    expectIfSet(c.width, bounds.right - bounds.left + 1, "width");
    expectIfSet(c.height, bounds.bottom - bounds.top + 1, "height");
    for (const Probe& probe : c.probes)
        EXPECT_EQ(frame->pixelFromTop(probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
}

INSTANTIATE_TEST_SUITE_P(
    SlideFrame, SlideFit,
    ::testing::Values(
        // A 4:3 photo fills the 4:3 frame, squeezed to 704 columns.
        FitCase{.name = "FourByThreeFillsTheFrame", .photoWidth = 1600, .photoHeight = 1200,
                .request = palCropped(0, AspectCorrection::Aspect4x3), .probes = {{0, 0, kWhite}, {703, 575, kWhite}}},
        // Crop 5: 16 black rows above, 14 below; 729 of 768 columns from x = 19, squeezed by 704 / 768.
        FitCase{.name = "CropFive", .photoWidth = 1600, .photoHeight = 1200,
                .request = palCropped(5, AspectCorrection::Aspect4x3), .left = 19 * 704 / 768.0,
                .right = (19 + 729) * 704 / 768.0 - 1, .top = 16, .bottom = 575 - 14, .columnTolerance = 1,
                .probes = {{352, 15, kBlack}, {352, 16, kWhite}}},
        // A portrait photo is centred between black bars.
        FitCase{.name = "PortraitCentred", .photoWidth = 600, .photoHeight = 800, .request = kNtsc, .frameHeight = 480,
                .left = 172, .right = 172 + 360 - 1, .top = 0, .bottom = 479},
        // 1000 x 900 into 704 x 576: fitted by height, 640 x 576.
        FitCase{.name = "TooTallFittedByHeight", .photoWidth = 1000, .photoHeight = 900, .left = 32,
                .right = 32 + 640 - 1},
        // Turned before fitting: portrait 600 x 800 in 704 x 480. Odd angles are ignored.
        FitCase{.name = "RotatedQuarterTurn", .photoWidth = 800, .photoHeight = 600, .rotation = 90, .request = kNtsc,
                .frameHeight = 480, .width = 360},
        FitCase{.name = "OddAngleIgnored", .photoWidth = 800, .photoHeight = 600, .rotation = 45, .request = kNtsc,
                .frameHeight = 480, .width = 640},
        // Crops outside 1..20 behave as no crop.
        FitCase{.name = "CropAboveTwentyIgnored", .photoWidth = 704, .photoHeight = 576, .request = palCropped(25),
                .probes = {{0, 0, kWhite}}},
        FitCase{.name = "NegativeCropIgnored", .photoWidth = 704, .photoHeight = 576, .request = palCropped(-1),
                .probes = {{0, 0, kWhite}}},
        FitCase{.name = "NoCrop", .photoWidth = 704, .photoHeight = 576, .probes = {{0, 0, kWhite}}},
        FitCase{.name = "CropTwenty", .photoWidth = 704, .photoHeight = 576, .request = palCropped(20), .width = 563,
                .height = 460},
        // Normal resolution stills are half width.
        FitCase{.name = "NormalResolutionHalfWidth", .photoWidth = 640, .photoHeight = 480,
                .request = {TvStandard::PAL, AspectCorrection::Aspect16x9, 5, StillResolution::NormalRes},
                .frameWidth = 352, .frameHeight = 288},
        // An extremely thin photo is kept unresized and cut by the frame: mixed at x = 352.
        FitCase{.name = "ExtremelyThinKeptUnresized", .photoWidth = 1, .photoHeight = 3000,
                .probes = {{352, 100, kWhite}, {351, 100, kBlack}}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

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

TEST_F(SlideFrameTest, APhotoThatCannotBeLoadedFails) {
    Slide slide;
    slide.path = dir_.file("missing.jpg");
    EXPECT_FALSE(composeSlideFrame(slide, {}));
    ::tellavine::testing::writeFile(dir_.file("broken.jpg"), "not a picture");
    slide.path = dir_.file("broken.jpg");
    EXPECT_FALSE(composeSlideFrame(slide, {}));
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
        const std::string command = "ffmpeg -nostdin -loglevel error -y -i " +
                                    ::tellavine::testing::shellQuoted(std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/" + sample) +
                                    " -vf scale=" + std::to_string(width) + ":" + std::to_string(height) +
                                    ",noise=alls=10:allf=u -q:v 3 " + ::tellavine::testing::shellQuoted(path);
        const auto made = ::tellavine::testing::runShell(command);
        EXPECT_TRUE(made.succeeded()) << command << "\n" << made.output;
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
        // Decoded at 1/4 (1000 x 750, 750 x 1000) for the 704-wide stills, 1/8 (501 x 375)
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
