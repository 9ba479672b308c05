#pragma once
// A drawing surface for text and shapes: a cairo image surface with its context, made
// from a Picture and read back into one. Owns both cairo handles.

#include "imaging/picture.h"

#include <cairo.h>

#include <memory>

namespace tellavine {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

class Canvas {
public:
    // A black canvas, or an invalid one when the size cannot be allocated.
    Canvas(int width, int height);
    explicit Canvas(const Picture& picture);

    bool valid() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* context() const { return context_.get(); }

    Picture toPicture() const;
    // Copies the picture's pixels onto the canvas at (x, y), top-down, clipped.
    void drawPicture(const Picture& picture, int x, int y);
    // Copies the top-left width x height of `picture` to (x, y) leaving the canvas
    // untouched where the picture is pure red (255, 0, 0).
    void drawPictureRedTransparent(const Picture& picture, int x, int y, int width, int height);

private:
    struct SurfaceFree { void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); } };
    struct ContextFree { void operator()(cairo_t* c) const { cairo_destroy(c); } };

    std::uint32_t* pixelRow(int y) const;

    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
    std::unique_ptr<cairo_t, ContextFree> context_;
};

}  // namespace tellavine
