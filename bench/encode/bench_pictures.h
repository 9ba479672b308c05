#pragma once
// Pictures for the encoding benchmarks: a smooth pattern with some detail, bottom-up BGR.

#include "encode/still_picture.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace tellavine::bench {

struct Picture {
    int width, height;
    std::vector<std::uint8_t> pixels;
    StillPicture view() const { return {width, height, pixels.data(), static_cast<std::size_t>(width) * 3}; }
};

inline Picture makePicture(int width, int height, int seed) {
    Picture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto* pixel = &picture.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            pixel[0] = static_cast<std::uint8_t>(128 + 100 * std::sin((x + seed * 13) * 0.05));
            pixel[1] = static_cast<std::uint8_t>((x * 3 + y * 5 + seed * 29) & 0xFF);
            pixel[2] = static_cast<std::uint8_t>(128 + 120 * std::cos((y + x / 3 + seed * 7) * 0.07));
        }
    return picture;
}

}  // namespace tellavine::bench
