// Wireless bitmap, type 0: one bit per pixel, 1 = white, rows padded to whole bytes.

#include "imaging/codec.h"

namespace tellavine {

bool decodeWbmp(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    std::size_t pos = 0;
    auto multiByte = [&](std::uint64_t& value) {
        value = 0;
        for (int n = 0; n < 5; ++n) {
            if (pos >= data.size()) return false;
            const std::uint8_t byte = data[pos++];
            value = value << 7 | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return false;
    };
    std::uint64_t type = 0, width = 0, height = 0;
    if (!multiByte(type) || type != 0) {
        error = "WBMP: only type 0 pictures are supported";
        return false;
    }
    if (pos >= data.size() || data[pos++] != 0) {
        error = "WBMP: unsupported header";
        return false;
    }
    if (!multiByte(width) || !multiByte(height) || !pictureSizeAllowed(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height))) {
        error = "WBMP: the picture size is missing or too large";
        return false;
    }
    const std::size_t stride = (width + 7) / 8;
    if (data.size() - pos < stride * height) {
        error = "WBMP: the pixel data is cut short";
        return false;
    }
    Picture picture = Picture::create(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* in = data.data() + pos + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint8_t v = (in[x / 8] >> (7 - x % 8) & 1) ? 255 : 0;
            picture.setPixel(x, y, {v, v, v});
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
