#include "imaging/picture.h"

#include <algorithm>
#include <cmath>
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

namespace {

// One output sample of an area average: the source indices it covers and their weights.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

// For each of `outSize` cells, the fractional coverage of the `inSize` source cells.
std::vector<Span> areaSpans(int inSize, int outSize) {
    std::vector<Span> spans(static_cast<std::size_t>(outSize));
    const double scale = static_cast<double>(inSize) / outSize;
    for (int o = 0; o < outSize; ++o) {
        const double begin = o * scale, end = (o + 1) * scale;
        Span& span = spans[static_cast<std::size_t>(o)];
        span.first = static_cast<int>(begin);
        const int last = std::min(inSize - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int i = span.first; i <= last; ++i) {
            const double covered = std::min(end, i + 1.0) - std::max(begin, static_cast<double>(i));
            span.weights.push_back(static_cast<float>(covered / scale));
        }
    }
    return spans;
}

Picture areaAverage(const Picture& src, int width, int height) {
    // Separable: average along rows into a float buffer, then along columns.
    const std::vector<Span> xs = areaSpans(src.width(), width);
    const std::vector<Span> ys = areaSpans(src.height(), height);
    std::vector<float> horizontal(static_cast<std::size_t>(width) * src.height() * 3);
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* in = src.row(y);
        float* out = horizontal.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const Span& span = xs[static_cast<std::size_t>(x)];
            float r = 0, g = 0, b = 0;
            const std::uint8_t* p = in + static_cast<std::size_t>(span.first) * 3;
            for (float weight : span.weights) {
                r += weight * p[0];
                g += weight * p[1];
                b += weight * p[2];
                p += 3;
            }
            out[x * 3] = r;
            out[x * 3 + 1] = g;
            out[x * 3 + 2] = b;
        }
    }
    Picture out = Picture::create(width, height);
    std::vector<float> sum(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        const Span& span = ys[static_cast<std::size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            const float weight = span.weights[k];
            const float* in = horizontal.data() + (span.first + k) * static_cast<std::size_t>(width) * 3;
            for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += weight * in[i];
        }
        std::uint8_t* dst = out.row(y);
        for (std::size_t i = 0; i < sum.size(); ++i)
            dst[i] = static_cast<std::uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    return out;
}

Picture bilinear(const Picture& src, int width, int height) {
    Picture out = Picture::create(width, height);
    const double sx = static_cast<double>(src.width()) / width;
    const double sy = static_cast<double>(src.height()) / height;
    std::vector<int> x0(static_cast<std::size_t>(width)), x1(x0.size());
    std::vector<float> fx(x0.size());
    for (int x = 0; x < width; ++x) {
        const double pos = std::clamp((x + 0.5) * sx - 0.5, 0.0, src.width() - 1.0);
        x0[x] = static_cast<int>(pos);
        x1[x] = std::min(x0[x] + 1, src.width() - 1);
        fx[x] = static_cast<float>(pos - x0[x]);
    }
    for (int y = 0; y < height; ++y) {
        const double pos = std::clamp((y + 0.5) * sy - 0.5, 0.0, src.height() - 1.0);
        const int y0 = static_cast<int>(pos);
        const int y1 = std::min(y0 + 1, src.height() - 1);
        const float fy = static_cast<float>(pos - y0);
        const std::uint8_t* top = src.row(y0);
        const std::uint8_t* bottom = src.row(y1);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const float t = top[x0[x] * 3 + c] + fx[x] * (top[x1[x] * 3 + c] - top[x0[x] * 3 + c]);
                const float b = bottom[x0[x] * 3 + c] + fx[x] * (bottom[x1[x] * 3 + c] - bottom[x0[x] * 3 + c]);
                dst[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(t + fy * (b - t) + 0.5f, 0.0f, 255.0f));
            }
        }
    }
    return out;
}

}  // namespace

bool Picture::resample(int width, int height) {
    if (!valid() || !pictureSizeAllowed(width, height)) return false;
    if (width == width_ && height == height_) return true;
    if (width < width_ && height < height_)
        *this = areaAverage(*this, width, height);
    else
        *this = bilinear(*this, width, height);
    return true;
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
