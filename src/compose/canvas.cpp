#include "compose/canvas.h"

#include <algorithm>

namespace tellavine {

Canvas::Canvas(int width, int height) {
    if (!pictureSizeAllowed(width, height)) return;
    surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS) {
        surface_.reset();
        return;
    }
    context_.reset(cairo_create(surface_.get()));
    width_ = width;
    height_ = height;
    cairo_set_source_rgb(context_.get(), 0, 0, 0);
    cairo_paint(context_.get());
}

Canvas::Canvas(const Picture& picture) : Canvas(picture.width(), picture.height()) {
    if (valid()) drawPicture(picture, 0, 0);
}

std::uint32_t* Canvas::pixelRow(int y) const {
    unsigned char* data = cairo_image_surface_get_data(surface_.get());
    return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_.get()));
}

Picture Canvas::toPicture() const {
    if (!valid()) return {};
    cairo_surface_flush(surface_.get());
    Picture picture = Picture::create(width_, height_);
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* in = pixelRow(y);
        std::uint8_t* out = picture.row(y);
        for (int x = 0; x < width_; ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(in[x] >> 16);
            out[1] = static_cast<std::uint8_t>(in[x] >> 8);
            out[2] = static_cast<std::uint8_t>(in[x]);
        }
    }
    return picture;
}

void Canvas::drawPicture(const Picture& picture, int x, int y) {
    if (!valid() || !picture.valid()) return;
    cairo_surface_flush(surface_.get());
    for (int sy = std::max(0, -y); sy < picture.height() && y + sy < height_; ++sy) {
        const std::uint8_t* in = picture.row(sy);
        std::uint32_t* out = pixelRow(y + sy);
        for (int sx = std::max(0, -x); sx < picture.width() && x + sx < width_; ++sx)
            out[x + sx] = static_cast<std::uint32_t>(in[sx * 3]) << 16 | in[sx * 3 + 1] << 8 | in[sx * 3 + 2];
    }
    cairo_surface_mark_dirty(surface_.get());
}

void Canvas::drawPictureRedTransparent(const Picture& picture, int x, int y, int width, int height) {
    if (!valid() || !picture.valid()) return;
    width = std::min(width, picture.width());
    height = std::min(height, picture.height());
    cairo_surface_flush(surface_.get());
    for (int sy = std::max(0, -y); sy < height && y + sy < height_; ++sy) {
        const std::uint8_t* in = picture.row(sy);
        std::uint32_t* out = pixelRow(y + sy);
        for (int sx = std::max(0, -x); sx < width && x + sx < width_; ++sx) {
            const std::uint8_t* p = in + sx * 3;
            if (p[0] == 255 && p[1] == 0 && p[2] == 0) continue;
            out[x + sx] = static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
        }
    }
    cairo_surface_mark_dirty(surface_.get());
}

}  // namespace tellavine
