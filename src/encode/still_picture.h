#pragma once
// The picture handed to the still encoder: a view of 24-bit pixels stored bottom row
// first, as in a device-independent bitmap. Composition's frames (704 or 352 wide,
// 576/480 or 288/240 high) are adapted to it without copying.

#include "compose/still_frame.h"

#include <cstddef>
#include <cstdint>

namespace tellavine {

enum class PixelOrder { Bgr, Rgb };  // byte order within a pixel

struct StillPicture {
    int width = 0;
    int height = 0;
    // The first row in memory is the bottom row of the picture.
    const std::uint8_t* bottomUpRows = nullptr;
    std::size_t rowStride = 0;  // bytes from one row to the next
    PixelOrder order = PixelOrder::Bgr;
};

// A composed frame as the still encoder's view of it (no copy).
inline StillPicture stillPictureOf(const StillFrame& frame) {
    StillPicture picture;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.bottomUpRows = frame.bits.data();
    picture.rowStride = frame.rowBytes();
    picture.order = PixelOrder::Bgr;
    return picture;
}

}  // namespace tellavine
