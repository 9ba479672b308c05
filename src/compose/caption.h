#pragma once
// Drawing a slide's caption. Caption sizes and positions are kept in reference units of
// 1/704 of the width of the surface they are drawn on, so one caption looks the same on
// a 768-wide frame, a 352-wide still and the editors' small previews.

#include "compose/canvas.h"
#include "project/model.h"

namespace tellavine {

inline constexpr double kCaptionReferenceWidth = 704.0;
inline constexpr int kCaptionMarginUnits = 40;
inline constexpr int kCaptionShadowOffset = 2;  // surface pixels, whatever the scale

// Draws `caption` inside `frame` (left, top, right, bottom in canvas pixels) and returns
// the rectangle the text occupies, in canvas pixels. For the six anchored alignments
// the computed position is written back into caption.x / caption.y in reference units.
// `focus` adds the dotted focus rectangle of the interactive editors.
Rect drawCaption(Canvas& canvas, Rect frame, SlideCaption& caption, bool focus);

// The same on a picture (converted to a canvas and back).
Rect drawCaption(Picture& picture, Rect frame, SlideCaption& caption, bool focus);

}  // namespace tellavine
