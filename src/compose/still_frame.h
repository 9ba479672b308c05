#pragma once
// The still frame handed from composition to the still encoder: a 24-bit device-
// independent bitmap of exactly the output still size (704 x 576 / 480 for HighRes,
// 352 x 288 / 240 for NormalRes).
//
// Layout of `bits`, as in a Windows 24-bit DIB:
//   - rows bottom-up: the first row in the buffer is the bottom row of the picture;
//   - three bytes per pixel in the order blue, green, red;
//   - each row padded to a multiple of 4 bytes (rowBytes()); 704- and 352-pixel rows
//     need no padding, so for every real still the buffer is tightly packed and holds
//     width * height * 3 bytes.
// The frame owns its buffer; it is movable and not copyable.

#include "imaging/picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tellavine {

enum class StillResolution {
    HighRes,    // the 704-pixel still of every photo and menu page
    NormalRes,  // the 352-pixel still of albums with background music
};

struct StillFrame {
    int width = 0;
    int height = 0;
    StillResolution resolution = StillResolution::HighRes;
    std::vector<std::uint8_t> bits;  // bottom-up B, G, R rows of rowBytes() bytes

    StillFrame() = default;
    StillFrame(StillFrame&&) noexcept = default;
    StillFrame& operator=(StillFrame&&) noexcept = default;
    StillFrame(const StillFrame&) = delete;
    StillFrame& operator=(const StillFrame&) = delete;

    bool valid() const { return width > 0 && height > 0 && bits.size() == rowBytes() * static_cast<std::size_t>(height); }
    std::size_t rowBytes() const { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

    // The pixel at column x and row y counted from the top, as red, green, blue.
    Rgb pixelFromTop(int x, int y) const;

    // The 40-byte BITMAPINFOHEADER of the bitmap (biBitCount 24, positive height =
    // bottom-up, no compression), little-endian.
    std::vector<std::uint8_t> bitmapInfoHeader() const;
};

// A frame of the picture's size in the layout above.
StillFrame makeStillFrame(const Picture& picture, StillResolution resolution);

// The frame as a top-down picture again (tests, previews).
Picture pictureFromStillFrame(const StillFrame& frame);

}  // namespace tellavine
