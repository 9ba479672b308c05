#include "imaging/picture.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

// A picture whose every pixel encodes its own position.
Picture numbered(int width, int height) {
    Picture p = Picture::create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.setPixel(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7});
    return p;
}

TEST(Picture, CreationIsBlackAndBoundedInSize) {
    const Picture p = Picture::create(5, 3);
    ASSERT_TRUE(p.valid());
    EXPECT_EQ(p.bitsPerPixel(), 24);
    EXPECT_EQ(p.pixel(4, 2), (Rgb{0, 0, 0}));
    EXPECT_FALSE(Picture::create(0, 10).valid());
    EXPECT_FALSE(Picture::create(10, -1).valid());
    EXPECT_FALSE(Picture::create(kMaxPictureSide + 1, 10).valid());
    EXPECT_FALSE(Picture::create(kMaxPictureSide, kMaxPictureSide).valid());  // over the pixel budget
}

TEST(Picture, QuarterTurnsMovePixelsLosslessly) {
    Picture right = numbered(4, 3);
    right.rotateRight();  // clockwise: the bottom-left corner goes to the top-left
    ASSERT_EQ(right.width(), 3);
    ASSERT_EQ(right.height(), 4);
    EXPECT_EQ(right.pixel(0, 0), (Rgb{0, 2, 7}));
    EXPECT_EQ(right.pixel(2, 0), (Rgb{0, 0, 7}));
    EXPECT_EQ(right.pixel(2, 3), (Rgb{3, 0, 7}));

    Picture left = numbered(4, 3);
    left.rotateLeft();  // counter-clockwise: the top-right corner goes to the top-left
    EXPECT_EQ(left.pixel(0, 0), (Rgb{3, 0, 7}));
    EXPECT_EQ(left.pixel(0, 3), (Rgb{0, 0, 7}));

    Picture half = numbered(4, 3);
    half.rotate180();
    EXPECT_EQ(half.pixel(0, 0), (Rgb{3, 2, 7}));
    EXPECT_EQ(half.pixel(3, 2), (Rgb{0, 0, 7}));

    Picture round = numbered(4, 3);
    round.rotateRight();
    round.rotateLeft();
    EXPECT_EQ(round.pixels(), numbered(4, 3).pixels());
}

TEST(Picture, ResampleKeepsSameSizesAndRefusesZero) {
    Picture p = numbered(8, 6);
    EXPECT_TRUE(p.resample(8, 6));
    EXPECT_EQ(p.pixels(), numbered(8, 6).pixels());
    EXPECT_FALSE(p.resample(0, 6));
    EXPECT_FALSE(p.resample(8, 0));
    EXPECT_EQ(p.width(), 8);
    EXPECT_EQ(p.pixels(), numbered(8, 6).pixels());
}

TEST(Picture, ShrinkingBothWaysAveragesTheCoveredArea) {
    Picture p = Picture::create(4, 4);
    // Top-left 2x2 block: 0, 100, 200, 100 -> mean 100; the rest 40.
    p.clear({40, 40, 40});
    p.setPixel(0, 0, {0, 0, 0});
    p.setPixel(1, 0, {100, 100, 100});
    p.setPixel(0, 1, {200, 200, 200});
    p.setPixel(1, 1, {100, 100, 100});
    ASSERT_TRUE(p.resample(2, 2));
    EXPECT_EQ(p.pixel(0, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(p.pixel(1, 1), (Rgb{40, 40, 40}));

    // 3 -> 2: the middle source column counts half for each output column.
    Picture q = Picture::create(3, 3);
    for (int y = 0; y < 3; ++y) {
        q.setPixel(0, y, {0, 0, 0});
        q.setPixel(1, y, {90, 90, 90});
        q.setPixel(2, y, {180, 180, 180});
    }
    ASSERT_TRUE(q.resample(2, 2));
    EXPECT_EQ(q.pixel(0, 0).r, 30);   // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(q.pixel(1, 0).r, 150);  // (90 * 0.5 + 180) / 1.5
}

TEST(Picture, EnlargingInterpolatesBetweenNeighbours) {
    Picture p = Picture::create(2, 1);
    p.setPixel(0, 0, {0, 0, 0});
    p.setPixel(1, 0, {200, 200, 200});
    ASSERT_TRUE(p.resample(4, 1));
    EXPECT_EQ(p.pixel(0, 0).r, 0);    // clamped at the edge
    EXPECT_EQ(p.pixel(1, 0).r, 50);   // a quarter of the way
    EXPECT_EQ(p.pixel(2, 0).r, 150);
    EXPECT_EQ(p.pixel(3, 0).r, 200);
}

TEST(Picture, MixCountsRowsFromTheBottomAndDropsWhatFallsOutside) {
    Picture frame = Picture::create(6, 5);
    Picture photo = Picture::create(2, 2);
    photo.clear({255, 0, 0});
    photo.setPixel(0, 1, {0, 255, 0});  // bottom-left of the photo
    frame.mix(photo, 1, 1);
    EXPECT_EQ(frame.pixel(1, 3), (Rgb{0, 255, 0}));  // one row above the frame's bottom row
    EXPECT_EQ(frame.pixel(2, 2), (Rgb{255, 0, 0}));
    EXPECT_EQ(frame.pixel(1, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(frame.pixel(1, 1), (Rgb{0, 0, 0}));

    Picture clipped = Picture::create(3, 3);
    clipped.mix(photo, 2, -1);  // only the photo's top-left pixel lands, at the bottom-right corner
    EXPECT_EQ(clipped.pixel(2, 2), (Rgb{255, 0, 0}));
    EXPECT_EQ(clipped.pixel(1, 2), (Rgb{0, 0, 0}));
    clipped.mix(photo, -5, 0);  // entirely outside: nothing happens
    clipped.mix(photo, 0, 10);
}

TEST(Picture, OrientationsUndoTheCameraTurn) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        Picture p = numbered(4, 3);
        applyOrientation(p, orientation);
        EXPECT_EQ(p.width() == 3, orientation >= 5) << orientation;
    }
    Picture six = numbered(4, 3);
    applyOrientation(six, 6);
    Picture right = numbered(4, 3);
    right.rotateRight();
    EXPECT_EQ(six.pixels(), right.pixels());
    Picture seven = numbered(4, 3);
    applyOrientation(seven, 7);  // transverse: the top-left goes to the bottom-right
    EXPECT_EQ(seven.pixel(2, 3), (Rgb{0, 0, 7}));
}

}  // namespace
}  // namespace tellavine
