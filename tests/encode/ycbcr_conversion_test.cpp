// Colour conversion and chroma decimation of the still encoder's input.

#include "encode/ycbcr_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace tellavine {
namespace {

TEST(ConvertPixelTest, UsesTheFullRangeCoefficientsWithTruncation) {
    const auto white = convertPixel(255, 255, 255);
    EXPECT_EQ(white.y, 255);
    EXPECT_EQ(white.cb, 128);
    EXPECT_EQ(white.cr, 128);
    const auto black = convertPixel(0, 0, 0);
    EXPECT_EQ(black.y, 0);
    EXPECT_EQ(black.cb, 128);
    EXPECT_EQ(black.cr, 128);
    // R=100 G=50 B=200: Y = 30.078 + 29.297 + 22.656 = 82.03; Cb = 102.34 - 16.99 - 17.19
    // + 128 = 196.17; Cr = 51.17 - 21.48 - 16.41 + 128 = 141.28.
    const auto sample = convertPixel(100, 50, 200);
    EXPECT_EQ(sample.y, 82);
    EXPECT_EQ(sample.cb, 196);
    EXPECT_EQ(sample.cr, 141);
    // R=10 G=200 B=0: Cb = -67.97 - 1.72 + 128 = 58.32.
    EXPECT_EQ(convertPixel(10, 200, 0).cb, 58);
}

TEST(ConvertPixelTest, SaturatedColoursClampInsteadOfWrapping) {
    EXPECT_EQ(convertPixel(255, 255, 0).cb, 0);    // yellow: -2.5
    EXPECT_EQ(convertPixel(0, 0, 255).cb, 255);    // blue: 258.5
    EXPECT_EQ(convertPixel(255, 0, 0).cr, 255);    // red: 258.5
    EXPECT_EQ(convertPixel(0, 255, 255).cr, 0);    // cyan: -2.5
}

// Studio levels against BT.601 in real numbers: Y = 16 + 219/255 (0.299 R + 0.587 G +
// 0.114 B), Cb and Cr = 128 + 224/255 of the colour differences halved to +-0.5.
struct StudioCase {
    std::uint8_t r, g, b;
};

class ConvertPixelStudioTest : public ::testing::TestWithParam<StudioCase> {};

TEST_P(ConvertPixelStudioTest, MatchesBt601WithinRounding) {
    const auto [r, g, b] = GetParam();
    const double y = 0.299 * r + 0.587 * g + 0.114 * b;
    const double expectedY = 16 + 219.0 / 255 * y;
    const double expectedCb = 128 + 224.0 / 255 * (b - y) / 1.772;
    const double expectedCr = 128 + 224.0 / 255 * (r - y) / 1.402;
    const auto sample = convertPixelStudio(r, g, b);
    EXPECT_NEAR(sample.y, expectedY, 1.0);
    EXPECT_NEAR(sample.cb, expectedCb, 1.0);
    EXPECT_NEAR(sample.cr, expectedCr, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Colours, ConvertPixelStudioTest,
                         ::testing::Values(StudioCase{0, 0, 0}, StudioCase{255, 255, 255}, StudioCase{128, 128, 128},
                                           StudioCase{255, 0, 0}, StudioCase{0, 255, 0}, StudioCase{0, 0, 255},
                                           StudioCase{255, 255, 0}, StudioCase{0, 255, 255}, StudioCase{100, 50, 200},
                                           StudioCase{10, 200, 0}));

TEST(ConvertPixelStudioTest, BlackWhiteAndGreyAreExact) {
    EXPECT_EQ(convertPixelStudio(0, 0, 0).y, 16);
    EXPECT_EQ(convertPixelStudio(255, 255, 255).y, 235);
    for (int level : {0, 77, 128, 255}) {
        const auto grey = static_cast<std::uint8_t>(level);
        EXPECT_EQ(convertPixelStudio(grey, grey, grey).cb, 128);
        EXPECT_EQ(convertPixelStudio(grey, grey, grey).cr, 128);
    }
    EXPECT_EQ(convertPixelStudio(255, 255, 0).cb, 16);   // yellow
    EXPECT_EQ(convertPixelStudio(0, 0, 255).cb, 240);    // blue
    EXPECT_EQ(convertPixelStudio(255, 0, 0).cr, 240);    // red
    EXPECT_EQ(convertPixelStudio(0, 255, 255).cr, 16);   // cyan
}

TEST(DecimateLineTest, KeepsFlatLinesAndRoundsTheWeightedSum) {
    std::vector<std::uint8_t> flat(16, 77), half(8);
    decimateLine(flat.data(), 16, 1, half.data(), 1);
    EXPECT_EQ(half, std::vector<std::uint8_t>(8, 77));

    // One bright sample (200) at position 16 of a line of 100: each output sees it
    // through one tap, (51456 + 100 tap) >> 9.
    std::vector<std::uint8_t> impulse(32, 100);
    impulse[16] = 200;
    std::vector<std::uint8_t> out(16);
    decimateLine(impulse.data(), 32, 1, out.data(), 1);
    EXPECT_EQ(out[8], 145);   // a0 (tap 228)
    EXPECT_EQ(out[7], 114);   // a+2 (tap 70)
    EXPECT_EQ(out[6], 96);    // a+4 (tap -21)
    EXPECT_EQ(out[5], 101);   // a+6 (tap 5)
    EXPECT_EQ(out[9], 93);    // a-2 (tap -37)
    EXPECT_EQ(out[10], 102);  // a-4 (tap 11)
    EXPECT_EQ(out[0], 100);
}

TEST(DecimateLineTest, RepeatsEdgeSamplesAndFollowsTheStride) {
    // A ramp: at the edges the missing neighbours repeat the first and last samples.
    std::vector<std::uint8_t> ramp(8);
    std::iota(ramp.begin(), ramp.end(), 100);
    std::vector<std::uint8_t> column(16, 0);
    for (int i = 0; i < 8; ++i) column[i * 2] = ramp[i];
    std::vector<std::uint8_t> fromRamp(4), fromColumn(8, 0);
    decimateLine(ramp.data(), 8, 1, fromRamp.data(), 1);
    decimateLine(column.data(), 8, 2, fromColumn.data(), 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fromColumn[i * 2], fromRamp[i]);
    const int first = 5 * (100 + 106) + 11 * (100 + 105) - 21 * (100 + 104) - 37 * (100 + 103) + 70 * (100 + 102) +
                      228 * (100 + 101) + 256;
    EXPECT_EQ(fromRamp[0], first >> 9);
}

// Bytes from a fixed generator over the whole range, so sums run past both clipping ends.
std::vector<std::uint8_t> noise(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

// The filter at even position i with every index clamped: the reference for the fast
// paths, which clamp only near the ends of a line.
int clampedFilter(const std::vector<std::uint8_t>& line, int i) {
    const auto at = [&](int k) { return int{line[std::clamp(i + k, 0, static_cast<int>(line.size()) - 1)]}; };
    constexpr int kTaps[6] = {228, 70, -37, -21, 11, 5};  // for at(-t) + at(t + 1)
    int sum = 256;
    for (int t = 0; t < 6; ++t) sum += kTaps[t] * (at(-t) + at(t + 1));
    return std::clamp(sum >> 9, 0, 255);
}

TEST(DecimateLineTest, EdgesAndInteriorMatchTheClampedFilterAtEveryLength) {
    // Lengths up to 40 cover lines with no unclamped position at all, and interiors
    // longer than a vector with a remainder.
    constexpr std::size_t kStride = 3;
    for (int count = 1; count <= 40; ++count) {
        const auto line = noise(static_cast<std::size_t>(count), static_cast<std::uint32_t>(count));
        std::vector<std::uint8_t> spread(line.size() * kStride);
        for (std::size_t i = 0; i < line.size(); ++i) spread[i * kStride] = line[i];
        const auto outputs = static_cast<std::size_t>(count + 1) / 2;
        std::vector<std::uint8_t> packed(outputs), strided(outputs * kStride);
        decimateLine(line.data(), count, 1, packed.data(), 1);
        decimateLine(spread.data(), count, kStride, strided.data(), kStride);
        for (std::size_t o = 0; o < outputs; ++o) {
            const int expected = clampedFilter(line, static_cast<int>(o) * 2);
            EXPECT_EQ(packed[o], expected) << "length " << count << ", output " << o;
            EXPECT_EQ(strided[o * kStride], expected) << "length " << count << ", output " << o << ", stride 3";
        }
    }
}

TEST(DecimateRowsTest, MatchesTheLineFilterDownEveryColumn) {
    for (const int width : {1, 7, 37}) {
        for (int height = 1; height <= 30; ++height) {
            const auto plane = noise(static_cast<std::size_t>(width) * height, static_cast<std::uint32_t>(width * 100 + height));
            const auto size = static_cast<std::size_t>(width) * ((height + 1) / 2);
            std::vector<std::uint8_t> rows(size), columns(size);
            decimateRows(plane.data(), width, height, rows.data());
            for (int column = 0; column < width; ++column)
                decimateLine(&plane[column], height, width, &columns[column], width);
            EXPECT_EQ(rows, columns) << width << " x " << height;
        }
    }
}

TEST(ConvertToYCbCr420Test, ReadsBottomUpRowsInEitherPixelOrder) {
    // 4 x 2 picture: bottom row red, top row blue (stored bottom row first).
    const std::vector<std::uint8_t> bgr{0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255,
                                        255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    StillPicture picture{4, 2, bgr.data(), 12, PixelOrder::Bgr};
    const auto frame = convertToYCbCr420(picture, StillLevels::Full);
    ASSERT_EQ(frame.luma.size(), 8u);
    EXPECT_EQ(frame.luma[0], convertPixel(0, 0, 255).y) << "top row first";
    EXPECT_EQ(frame.luma[4], convertPixel(255, 0, 0).y);
    EXPECT_EQ(frame.blueChroma.size(), 2u);
    EXPECT_EQ(frame.redChroma.size(), 2u);

    std::vector<std::uint8_t> rgb(bgr);
    for (std::size_t i = 0; i < rgb.size(); i += 3) std::swap(rgb[i], rgb[i + 2]);
    const auto same = convertToYCbCr420(StillPicture{4, 2, rgb.data(), 12, PixelOrder::Rgb}, StillLevels::Full);
    EXPECT_EQ(same.luma, frame.luma);
    EXPECT_EQ(same.blueChroma, frame.blueChroma);
    EXPECT_EQ(same.redChroma, frame.redChroma);
}

TEST(ConvertToYCbCr420Test, HonoursTheRowStride) {
    std::vector<std::uint8_t> padded(2 * 8, 0xEE);  // 2 x 2 picture in rows of 8 bytes
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 6; ++i) padded[row * 8 + i] = static_cast<std::uint8_t>(row ? 200 : 10);
    const auto frame = convertToYCbCr420(StillPicture{2, 2, padded.data(), 8, PixelOrder::Bgr}, StillLevels::Full);
    EXPECT_EQ(frame.luma, (std::vector<std::uint8_t>{200, 200, 10, 10}));
}

TEST(ConvertToYCbCr420Test, TheLevelsChooseTheConversion) {
    // 2 x 2: one white, one black and two orange pixels.
    const std::vector<std::uint8_t> bgr{255, 255, 255, 0, 0, 0, 0, 128, 255, 0, 128, 255};
    const StillPicture picture{2, 2, bgr.data(), 6, PixelOrder::Bgr};
    const auto studio = convertToYCbCr420(picture, StillLevels::Studio);
    const auto full = convertToYCbCr420(picture, StillLevels::Full);
    EXPECT_EQ(studio.luma, (std::vector<std::uint8_t>{convertPixelStudio(255, 128, 0).y, convertPixelStudio(255, 128, 0).y,
                                                      235, 16}));
    EXPECT_EQ(full.luma, (std::vector<std::uint8_t>{convertPixel(255, 128, 0).y, convertPixel(255, 128, 0).y, 255, 0}));
    EXPECT_NE(studio.redChroma, full.redChroma);
}

}  // namespace
}  // namespace tellavine
