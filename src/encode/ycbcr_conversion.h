#pragma once
// RGB to the encoder's 4:2:0 YCbCr input.
//
// Studio levels (what MPEG-1 decoders take), ITU-R BT.601 in 8-bit integers, rounded:
// Y = (66 R + 129 G + 25 B + 128) >> 8) + 16 in 16..235, Cb = (112 B - 74 G - 38 R + 128)
// >> 8) + 128 and Cr = (112 R - 94 G - 18 B + 128) >> 8) + 128 in 16..240.
//
// Full levels (the older stills, on request): Y = (77 R + 150 G + 29 B) / 256 (no offset
// of 16), Cb = (131 B - 87 G - 44 R) / 256 + 128, Cr = (131 R - 110 G - 21 B) / 256 + 128,
// each truncated toward zero. Saturated colours give chroma just outside 0..255 (pure
// yellow -2.5, pure blue 258.5); those are clamped rather than wrapped.
//
// The full-resolution chroma planes are then halved horizontally and vertically with the
// MPEG-1 decimation filter of the reference encoder. Rows come out top first.

#include "encode/still_picture.h"
#include "project/model.h"

#include <cstdint>
#include <vector>

namespace tellavine {

struct YCbCrFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> luma;        // width x height
    std::vector<std::uint8_t> blueChroma;  // width/2 x height/2
    std::vector<std::uint8_t> redChroma;   // width/2 x height/2
};

// One pixel's full-resolution values.
struct YCbCrSample {
    std::uint8_t y, cb, cr;
};
YCbCrSample convertPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue);  // full levels
YCbCrSample convertPixelStudio(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Halves one line of samples: out[i] from in[2i - 5 .. 2i + 6], taps 5, 11, -21, -37,
// 70, 228 (mirrored), rounded, >> 9, clipped to 0..255, edge samples repeated.
// `stride` is the distance between neighbouring samples of the line.
void decimateLine(const std::uint8_t* in, int count, std::size_t inStride, std::uint8_t* out,
                  std::size_t outStride);

// Halves a plane of `height` rows of `width` samples vertically with the same filter,
// top and bottom rows repeated: (height + 1) / 2 rows into `out`, which must not overlap
// `in`. Works across whole rows, so it is the fast way to filter every column.
void decimateRows(const std::uint8_t* in, int width, int height, std::uint8_t* out);

// The picture must have positive, even width and height and a complete pixel array.
// Throws std::bad_alloc when the planes cannot be allocated.
YCbCrFrame convertToYCbCr420(const StillPicture& picture, StillLevels levels);

}  // namespace tellavine
