// Composing stills and converting them for the encoder are tuned for speed; what they
// produce must not change. Each case composes a photo as a slide does and compares
// checksums of the frame and of its studio- and full-level YCbCr planes with values
// recorded from the straightforward pixel-by-pixel code. A change here means every
// disc made from now on looks different from the ones made before.

#include "compose/slide_frame.h"
#include "compose/test_pictures.h"
#include "encode/ycbcr_conversion.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <optional>

namespace tellavine {
namespace {

std::uint64_t fnv1a(const std::vector<std::uint8_t>& bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

std::string planesChecksum(const StillFrame& frame, StillLevels levels) {
    const YCbCrFrame planes = convertToYCbCr420(stillPictureOf(frame), levels);
    return hex(fnv1a(planes.redChroma, fnv1a(planes.blueChroma, fnv1a(planes.luma))));
}

// A camera-sized picture with sensor-like noise over a colour gradient, the same on
// every run (its own little generator, no library's random numbers).
const std::string& noisyPhoto(const testing::TempDir& dir) {
    static const std::string path = [&] {
        Picture picture = Picture::create(3001, 2003);
        std::uint32_t seed = 12345;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int noise = static_cast<int>(seed >> 27) - 16;
                const auto channel = [&](int base) { return static_cast<std::uint8_t>(std::clamp(base + noise, 0, 255)); };
                picture.setPixel(x, y, {channel(x * 255 / 3000), channel(y * 255 / 2002), channel((x + y) * 255 / 5002)});
            }
        }
        const std::string file = dir.file("noisy.bmp");
        if (!testing::writeBmp(file, picture)) return std::string();
        return file;
    }();
    return path;
}

struct ChecksumCase {
    const char* name;
    const char* photo;  // a bundled sample, or "noisy" for the generated picture
    int rotation;
    StillResolution resolution;
    TvStandard standard;
    AspectCorrection aspect;
    int cropPercent;
    std::optional<CaptionAlign> caption;
    const char* frame;     // checksums of the frame, the studio planes, the full planes
    const char* studio;
    const char* full;
};

constexpr std::nullopt_t kNoCaption = std::nullopt;

void PrintTo(const ChecksumCase& c, std::ostream* out) { *out << c.name; }

class FrameChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(FrameChecksumTest, ComposedFrameAndPlanesAreUnchanged) {
    static testing::TempDir dir;
    const ChecksumCase& c = GetParam();
    Slide slide;
    slide.path = std::string(c.photo) == "noisy" ? noisyPhoto(dir) : std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/" + c.photo;
    slide.rotation = c.rotation;
    if (c.caption) {
        slide.hasCaption = true;
        slide.caption.text = "Summer by the lake";
        slide.caption.align = *c.caption;
        slide.caption.shadow = *c.caption == CaptionAlign::BottomCenter;
    }
    const auto frame = composeSlideFrame(slide, {c.standard, c.aspect, c.cropPercent, c.resolution});
    ASSERT_TRUE(frame && frame->valid());
    EXPECT_EQ(hex(fnv1a(frame->bits)), c.frame) << c.name << " frame";
    EXPECT_EQ(planesChecksum(*frame, StillLevels::Studio), c.studio) << c.name << " studio planes";
    EXPECT_EQ(planesChecksum(*frame, StillLevels::Full), c.full) << c.name << " full planes";
}

using enum StillResolution;
using enum TvStandard;
using enum AspectCorrection;

INSTANTIATE_TEST_SUITE_P(
    Slides, FrameChecksumTest,
    ::testing::Values(
        // Shrunk by area averaging, placed with bars, both resolutions and standards.
        ChecksumCase{"GardenPal", "garden.jpg", 0, HighRes, PAL, NoCorrection, 0, kNoCaption,
                     "6b1d58b8c0b96b47", "04b92d9f5e95be2d", "bfeac4586dc9b001"},
        ChecksumCase{"LadybirdNtscSmallReduced", "ladybird.jpg", 0, NormalRes, NTSC, Aspect4x3, 5, kNoCaption,
                     "31d47f8ade69c955", "2fe26a641ee305ad", "74a200c6c7daf038"},
        ChecksumCase{"NoisyCaptionShadow", "noisy", 0, HighRes, PAL, Aspect4x3, 0, CaptionAlign::BottomCenter,
                     "5252338c6c6ddfd6", "85b37d034e4d64d4", "7ba0204167fa1d99"},
        ChecksumCase{"NoisyTurnedRightWide", "noisy", 90, HighRes, NTSC, Aspect16x9, 10, kNoCaption,
                     "88e34c1cd8600243", "f40c9588e0853c03", "42c64e393d55fbc7"},
        ChecksumCase{"StormTurnedLeftSmall", "storm.jpg", 270, NormalRes, PAL, NoCorrection, 0, CaptionAlign::TopLeft,
                     "d315eec1d0b8f418", "d8d2bd7305cf0ab6", "bbae2af3caf336aa"},
        ChecksumCase{"MeadowUpsideDown", "green_meadow.jpg", 180, HighRes, PAL, Aspect16x9, 3, kNoCaption,
                     "82284f517a3c1da2", "e060a2e56c75488f", "cde7168652dfe6ca"},
        // Enlarged bilinearly: smaller than the frame.
        ChecksumCase{"RainDropsEnlarged", "rain_drops.jpg", 0, HighRes, NTSC, NoCorrection, 0, kNoCaption,
                     "985730031bc73d68", "44ff35c3895e6ff3", "c2f490249646e6f0"},
        ChecksumCase{"PortraitEnlargedTurned", "two_wings_portrait.jpg", 90, HighRes, PAL, Aspect4x3, 0, kNoCaption,
                     "24aa9e0ab6e10e9c", "ad3ec59a17a19084", "d163448979408771"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine
