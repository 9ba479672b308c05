#include "encode/ycbcr_conversion.h"

#include <algorithm>

namespace tellavine {
namespace {

std::uint8_t clampToByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

YCbCrSample convertPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // The coefficients are multiples of 1/256, so integer sums divided with C++'s
    // truncation toward zero give exactly the truncated floating-point results.
    const int y = (77 * red + 150 * green + 29 * blue) / 256;
    const int cb = (131 * blue - 87 * green - 44 * red + 128 * 256) / 256;
    const int cr = (131 * red - 110 * green - 21 * blue + 128 * 256) / 256;
    return {clampToByte(y), clampToByte(cb), clampToByte(cr)};
}

YCbCrSample convertPixelStudio(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // The weights sum to 220/256 for Y and to 0 for Cb and Cr, so white is 235, grey has
    // no chroma, and no colour leaves 16..240: nothing to clamp. >> floors negative sums.
    const int y = ((66 * red + 129 * green + 25 * blue + 128) >> 8) + 16;
    const int cb = ((112 * blue - 74 * green - 38 * red + 128) >> 8) + 128;
    const int cr = ((112 * red - 94 * green - 18 * blue + 128) >> 8) + 128;
    return {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(cb), static_cast<std::uint8_t>(cr)};
}

void decimateLine(const std::uint8_t* in, int count, std::size_t inStride, std::uint8_t* out,
                  std::size_t outStride) {
    const auto at = [&](int index) { return int{in[static_cast<std::size_t>(std::clamp(index, 0, count - 1)) * inStride]}; };
    for (int i = 0; i < count; i += 2) {
        const int sum = 5 * (at(i - 5) + at(i + 6)) + 11 * (at(i - 4) + at(i + 5)) - 21 * (at(i - 3) + at(i + 4)) -
                        37 * (at(i - 2) + at(i + 3)) + 70 * (at(i - 1) + at(i + 2)) + 228 * (at(i) + at(i + 1)) +
                        256;
        out[static_cast<std::size_t>(i / 2) * outStride] = clampToByte(sum >> 9);
    }
}

namespace {

// Fills the luma plane and the full-resolution chroma planes, top row first. A template,
// so each conversion is inlined into the loop.
template <typename Convert>
void convertRows(const StillPicture& picture, Convert convert, YCbCrFrame& frame, std::vector<std::uint8_t>& fullBlue,
                 std::vector<std::uint8_t>& fullRed) {
    const int width = picture.width;
    const int height = picture.height;
    const int redOffset = picture.order == PixelOrder::Bgr ? 2 : 0;
    const int blueOffset = 2 - redOffset;
    for (int row = 0; row < height; ++row) {
        // The bitmap's last row in memory is the picture's top row.
        const std::uint8_t* source = picture.bottomUpRows + static_cast<std::size_t>(height - 1 - row) * picture.rowStride;
        const auto rowStart = static_cast<std::size_t>(row) * width;
        for (int column = 0; column < width; ++column, source += 3) {
            const auto sample = convert(source[redOffset], source[1], source[blueOffset]);
            frame.luma[rowStart + column] = sample.y;
            fullBlue[rowStart + column] = sample.cb;
            fullRed[rowStart + column] = sample.cr;
        }
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
    if (levels == StillLevels::Full)
        convertRows(picture, [](auto r, auto g, auto b) { return convertPixel(r, g, b); }, frame, fullBlue, fullRed);
    else
        convertRows(picture, [](auto r, auto g, auto b) { return convertPixelStudio(r, g, b); }, frame, fullBlue, fullRed);

    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    std::vector<std::uint8_t> narrow(static_cast<std::size_t>(halfWidth) * height);
    const auto decimate = [&](const std::vector<std::uint8_t>& full, std::vector<std::uint8_t>& target) {
        for (int row = 0; row < height; ++row)
            decimateLine(&full[static_cast<std::size_t>(row) * width], width, 1,
                         &narrow[static_cast<std::size_t>(row) * halfWidth], 1);
        target.resize(static_cast<std::size_t>(halfWidth) * halfHeight);
        for (int column = 0; column < halfWidth; ++column)
            decimateLine(&narrow[column], height, halfWidth, &target[column], halfWidth);
    };
    decimate(fullBlue, frame.blueChroma);
    decimate(fullRed, frame.redChroma);
    return frame;
}

}  // namespace tellavine
