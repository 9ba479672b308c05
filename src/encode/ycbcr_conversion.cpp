#include "encode/ycbcr_conversion.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace tellavine {
namespace {

// The conversions and the filter are always inlined: the row loops below vectorise only
// with their bodies in the loop, and GCC's size heuristics would otherwise call them.

[[gnu::always_inline]] inline std::uint8_t clampToByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

[[gnu::always_inline]] inline YCbCrSample fullLevels(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // The coefficients are multiples of 1/256, so integer sums divided with C++'s
    // truncation toward zero give exactly the truncated floating-point results.
    const int y = (77 * red + 150 * green + 29 * blue) / 256;
    const int cb = (131 * blue - 87 * green - 44 * red + 128 * 256) / 256;
    const int cr = (131 * red - 110 * green - 21 * blue + 128 * 256) / 256;
    return {clampToByte(y), clampToByte(cb), clampToByte(cr)};
}

[[gnu::always_inline]] inline YCbCrSample studioLevels(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // The weights sum to 220/256 for Y and to 0 for Cb and Cr, so white is 235, grey has
    // no chroma, and no colour leaves 16..240: nothing to clamp. >> floors negative sums.
    const int y = ((66 * red + 129 * green + 25 * blue + 128) >> 8) + 16;
    const int cb = ((112 * blue - 74 * green - 38 * red + 128) >> 8) + 128;
    const int cr = ((112 * red - 94 * green - 18 * blue + 128) >> 8) + 128;
    return {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(cb), static_cast<std::uint8_t>(cr)};
}

// The decimation filter at an even position i of a line; at(k) is the sample i + k, for
// k from -5 to 6.
template <typename At>
[[gnu::always_inline]] inline std::uint8_t decimated(At at) {
    const int sum = 5 * (at(-5) + at(6)) + 11 * (at(-4) + at(5)) - 21 * (at(-3) + at(4)) - 37 * (at(-2) + at(3)) +
                    70 * (at(-1) + at(2)) + 228 * (at(0) + at(1)) + 256;
    return clampToByte(sum >> 9);
}

}  // namespace

YCbCrSample convertPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return fullLevels(red, green, blue);
}

YCbCrSample convertPixelStudio(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return studioLevels(red, green, blue);
}

namespace {

// The even positions whose taps all lie inside the line, i - 5 >= 0 and i + 6 < count,
// as [kInnerBegin, innerEnd): only these read without clamping. Both ends are even.
constexpr int kInnerBegin = 6;
int innerEnd(int count) { return std::max(kInnerBegin, (count - 5) / 2 * 2); }

// Outputs for even i in [begin, end) with no index clamping. A template so the unit-stride
// call is compiled with constant strides, which is what lets it vectorise.
template <typename Stride>
void decimateInner(const std::uint8_t* in, Stride inStride, std::uint8_t* out, Stride outStride, int begin, int end) {
    const auto step = static_cast<std::ptrdiff_t>(inStride);
    for (auto j = static_cast<std::size_t>(begin / 2); j < static_cast<std::size_t>(end / 2); ++j) {
        const std::uint8_t* centre = in + 2 * j * inStride;
        out[j * outStride] = decimated([&](int k) { return int{centre[k * step]}; });
    }
}

}  // namespace

void decimateLine(const std::uint8_t* in, int count, std::size_t inStride, std::uint8_t* out,
                  std::size_t outStride) {
    const auto clampedAt = [&](int i) {
        out[static_cast<std::size_t>(i / 2) * outStride] = decimated(
            [&](int k) { return int{in[static_cast<std::size_t>(std::clamp(i + k, 0, count - 1)) * inStride]}; });
    };
    const int end = innerEnd(count);
    int i = 0;
    for (; i < count && i < kInnerBegin; i += 2) clampedAt(i);
    if (i == kInnerBegin && i < end) {
        using Unit = std::integral_constant<std::size_t, 1>;
        if (inStride == 1 && outStride == 1)
            decimateInner(in, Unit{}, out, Unit{}, i, end);
        else
            decimateInner(in, inStride, out, outStride, i, end);
        i = end;
    }
    for (; i < count; i += 2) clampedAt(i);
}

namespace {

// One output row of the vertical pass from the twelve input rows around it, given as
// offsets into `in`. `target` is restrict-qualified: without that the loop would need
// twelve run-time overlap checks, more than GCC's vectoriser makes. Not inlined, because
// GCC forgets the restrict promise of an inlined function's parameter here.
[[gnu::noinline]] void decimateAcross(const std::uint8_t* in, const std::array<std::size_t, 12>& rows, int width,
                                      std::uint8_t* __restrict target) {
    for (int column = 0; column < width; ++column)
        target[column] = decimated([&](int k) { return int{in[rows[static_cast<std::size_t>(k + 5)] + column]}; });
}

}  // namespace

void decimateRows(const std::uint8_t* in, int width, int height, std::uint8_t* out) {
    for (int i = 0; i < height; i += 2) {
        // Edge rows repeat: the clamping is per output row, never per sample.
        std::array<std::size_t, 12> rows;
        for (int k = -5; k <= 6; ++k)
            rows[static_cast<std::size_t>(k + 5)] = static_cast<std::size_t>(std::clamp(i + k, 0, height - 1)) * width;
        decimateAcross(in, rows, width, out + static_cast<std::size_t>(i / 2) * width);
    }
}

namespace {

// Converts one row of pixels into luma and full-resolution chroma. The red byte's place
// is a template argument so the three loads per pixel have constant offsets.
template <int RedOffset, typename Convert>
[[gnu::always_inline]] inline void convertRow(const std::uint8_t* __restrict source, int width, Convert convert,
                                              std::uint8_t* __restrict luma, std::uint8_t* __restrict blue,
                                              std::uint8_t* __restrict red) {
    constexpr int blueOffset = 2 - RedOffset;
    for (int column = 0; column < width; ++column, source += 3) {
        const auto sample = convert(source[RedOffset], source[1], source[blueOffset]);
        luma[column] = sample.y;
        blue[column] = sample.cb;
        red[column] = sample.cr;
    }
}

struct PlaneRows {
    std::uint8_t* luma;
    std::uint8_t* blue;
    std::uint8_t* red;
};

// Fills the luma plane and the full-resolution chroma planes, top row first. Splitting
// interleaved R, G, B bytes into vectors takes a byte shuffle, which baseline x86-64
// (SSE2) lacks, so GCC vectorises this only for a newer instruction set: an AVX2 copy is
// compiled as well and chosen when the program loads. Integer arithmetic, so both copies
// give the same bytes.
[[gnu::target_clones("avx2", "default")]] void convertRows(const StillPicture& picture, StillLevels levels,
                                                           PlaneRows planes) {
    const int width = picture.width;
    for (int line = 0; line < picture.height; ++line) {
        // The bitmap's last row in memory is the picture's top row.
        const std::uint8_t* source =
            picture.bottomUpRows + static_cast<std::size_t>(picture.height - 1 - line) * picture.rowStride;
        const auto start = static_cast<std::size_t>(line) * width;
        const PlaneRows row{planes.luma + start, planes.blue + start, planes.red + start};
        const auto convert = [&](auto redOffset, auto levelsOf) {
            convertRow<decltype(redOffset)::value>(source, width, levelsOf, row.luma, row.blue, row.red);
        };
        const auto full = [](std::uint8_t r, std::uint8_t g, std::uint8_t b) { return fullLevels(r, g, b); };
        const auto studio = [](std::uint8_t r, std::uint8_t g, std::uint8_t b) { return studioLevels(r, g, b); };
        using Bgr = std::integral_constant<int, 2>;
        using Rgb = std::integral_constant<int, 0>;
        if (picture.order == PixelOrder::Bgr)
            levels == StillLevels::Full ? convert(Bgr{}, full) : convert(Bgr{}, studio);
        else
            levels == StillLevels::Full ? convert(Rgb{}, full) : convert(Rgb{}, studio);
    }
}

}  // namespace

YCbCrFrame convertToYCbCr420(const StillPicture& picture, StillLevels levels) {
    const int width = picture.width;
    const int height = picture.height;
    const auto pixels = static_cast<std::size_t>(width) * height;
    YCbCrFrame frame;
    frame.width = width;
    frame.height = height;
    frame.luma.resize(pixels);
    std::vector<std::uint8_t> fullBlue(pixels), fullRed(pixels);
    convertRows(picture, levels, {frame.luma.data(), fullBlue.data(), fullRed.data()});

    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    std::vector<std::uint8_t> narrow(static_cast<std::size_t>(halfWidth) * height);
    const auto decimate = [&](const std::vector<std::uint8_t>& full, std::vector<std::uint8_t>& target) {
        for (int row = 0; row < height; ++row)
            decimateLine(&full[static_cast<std::size_t>(row) * width], width, 1,
                         &narrow[static_cast<std::size_t>(row) * halfWidth], 1);
        target.resize(static_cast<std::size_t>(halfWidth) * halfHeight);
        decimateRows(narrow.data(), halfWidth, height, target.data());
    };
    decimate(fullBlue, frame.blueChroma);
    decimate(fullRed, frame.redChroma);
    return frame;
}

}  // namespace tellavine
