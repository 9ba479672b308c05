#include "compose/caption.h"

#include "compose/text_renderer.h"

#include <algorithm>

namespace tellavine {

namespace {

void drawFocusRectangle(cairo_t* cr, Rect r) {
    // Dotted and inverting, like the system's focus rectangle, so it shows on any photo.
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, 1);
    const double dash[] = {1.0};
    cairo_set_dash(cr, dash, 1, 0);
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Positions and sizes come from project files and may be anything. Far outside the frame
// they all look alike, so they are clamped before the conversion (which would otherwise
// be undefined and, on x86, wrap a huge positive value to the far negative side).
int scaledToInt(double value, double limit) { return static_cast<int>(std::clamp(value, -limit, limit)); }
constexpr double kFarOutside = 1'000'000;
constexpr double kLargestFontPixels = 4096;

}  // namespace

Rect drawCaption(Canvas& canvas, Rect frame, SlideCaption& caption, bool focus) {
    if (!canvas.valid()) return {};
    const int wr = frame.width(), hr = frame.height();
    const double s = wr / kCaptionReferenceWidth;
    const int m = static_cast<int>(kCaptionMarginUnits * s);

    LogFont font = caption.font;
    font.height = scaledToInt(s * caption.font.height, kLargestFontPixels);
    TextLine text(canvas.context(), font, caption.text);
    const int cx = text.width(), cy = text.height();

    int x = 0, y = 0;
    bool anchored = true;
    switch (caption.align) {
        case CaptionAlign::TopLeft: x = m; y = m; break;
        case CaptionAlign::TopCenter: x = (wr - cx) / 2; y = m; break;
        case CaptionAlign::TopRight: x = wr - cx - m; y = m; break;
        case CaptionAlign::BottomLeft: x = m; y = hr - cy - m; break;
        case CaptionAlign::BottomCenter: x = (wr - cx) / 2; y = hr - cy - m; break;
        case CaptionAlign::BottomRight: x = wr - cx - m; y = hr - cy - m; break;
        default:
            anchored = false;
            x = scaledToInt(caption.x * s, kFarOutside);
            y = scaledToInt(caption.y * s, kFarOutside);
    }
    if (anchored && s > 0) {
        caption.x = static_cast<std::int32_t>(x / s);
        caption.y = static_cast<std::int32_t>(y / s);
    }
    const int left = frame.left + x, top = frame.top + y;
    if (caption.shadow) text.draw(left + kCaptionShadowOffset, top + kCaptionShadowOffset, caption.shadowColour);
    text.draw(left, top, caption.textColour);
    const Rect occupied{left, top, left + cx, top + cy};
    if (focus) drawFocusRectangle(canvas.context(), occupied);
    return occupied;
}

Rect drawCaption(Picture& picture, Rect frame, SlideCaption& caption, bool focus) {
    Canvas canvas(picture);
    const Rect occupied = drawCaption(canvas, frame, caption, focus);
    if (canvas.valid()) picture = canvas.toPicture();
    return occupied;
}

}  // namespace tellavine
