#include "imaging/picture.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tellavine {

bool pictureSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

Picture::Picture(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0) {}

Picture Picture::create(int width, int height) {
    if (!pictureSizeAllowed(width, height)) return {};
    return Picture(width, height);
}

Picture Picture::clone() const {
    Picture copy;
    copy.width_ = width_;
    copy.height_ = height_;
    copy.pixels_ = pixels_;
    return copy;
}

Rgb Picture::pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

void Picture::setPixel(int x, int y, Rgb colour) {
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void Picture::clear(Rgb colour) {
    for (std::size_t i = 0; i + 2 < pixels_.size(); i += 3) {
        pixels_[i] = colour.r;
        pixels_[i + 1] = colour.g;
        pixels_[i + 2] = colour.b;
    }
}

namespace {

// Builds a picture of size (w, h) whose pixel (x, y) comes from `source` at map(x, y).
template <typename Map>
Picture remap(const Picture& source, int width, int height, Map map) {
    Picture out = Picture::create(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x) {
            auto [sx, sy] = map(x, y);
            const std::uint8_t* src = source.row(sy) + static_cast<std::size_t>(sx) * 3;
            std::memcpy(dst + static_cast<std::size_t>(x) * 3, src, 3);
        }
    }
    return out;
}

}  // namespace

void Picture::rotateRight() {
    if (!valid()) return;
    const int w = width_, h = height_;
    *this = remap(*this, h, w, [h](int x, int y) { return std::pair{y, h - 1 - x}; });
}

void Picture::rotateLeft() {
    if (!valid()) return;
    const int w = width_, h = height_;
    *this = remap(*this, h, w, [w](int x, int y) { return std::pair{w - 1 - y, x}; });
}

void Picture::rotate180() {
    flipHorizontal();
    flipVertical();
}

void Picture::flipHorizontal() {
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* r = row(y);
        for (int a = 0, b = width_ - 1; a < b; ++a, --b)
            std::swap_ranges(r + a * 3, r + a * 3 + 3, r + b * 3);
    }
}

void Picture::flipVertical() {
    for (int a = 0, b = height_ - 1; a < b; ++a, --b)
        std::swap_ranges(row(a), row(a) + rowBytes(), row(b));
}

void Picture::transpose() {
    if (!valid()) return;
    const int w = width_, h = height_;
    *this = remap(*this, h, w, [](int x, int y) { return std::pair{y, x}; });
}

void applyOrientation(Picture& picture, int orientation) {
    switch (orientation) {
        case 2: picture.flipHorizontal(); break;
        case 3: picture.rotate180(); break;
        case 4: picture.flipVertical(); break;
        case 5: picture.transpose(); break;
        case 6: picture.rotateRight(); break;
        case 7: picture.transpose(); picture.rotate180(); break;
        case 8: picture.rotateLeft(); break;
        default: break;
    }
}

void Picture::mix(const Picture& source, int x, int yFromBottom) {
    if (!valid() || !source.valid()) return;
    const int firstX = std::max(0, -x);
    const int lastX = std::min(source.width(), width_ - x);  // exclusive
    if (firstX >= lastX) return;
    for (int sy = 0; sy < source.height(); ++sy) {
        // sy counts from the bottom of the source; the same row from the top:
        const int dyFromBottom = yFromBottom + sy;
        if (dyFromBottom < 0 || dyFromBottom >= height_) continue;
        const std::uint8_t* in = source.row(source.height() - 1 - sy) + firstX * 3;
        std::uint8_t* out = row(height_ - 1 - dyFromBottom) + (x + firstX) * 3;
        std::memcpy(out, in, static_cast<std::size_t>(lastX - firstX) * 3);
    }
}

}  // namespace tellavine
