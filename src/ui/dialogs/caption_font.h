#pragma once
// A caption's LOGFONT as the font dialog shows it, and the dialog's choice back as a
// LOGFONT. Caption heights are pixels of a 704-pixel-wide frame; the dialog speaks
// points, converted at 96 dots per inch, the resolution the stored heights were made at,
// so that a caption is the same size on every screen.

#include "project/logfont.h"

#include <QFont>

namespace tellavine::ui {

inline constexpr double kCaptionDotsPerInch = 96.0;

// The font the dialog opens on: the installed family that draws the face, its size in
// points, weight, italic, underline and strike-out.
QFont captionQFont(const LogFont& font);

// The LOGFONT of the font chosen in the dialog. What the dialog has no say in (width,
// escapement, orientation, character set, precisions, quality, pitch and family) comes
// from `base`, and so does every field the user left as it was: the face name stays
// "Comic Sans MS" when the dialog showed its stand-in and it was kept.
LogFont captionLogFont(const QFont& chosen, const LogFont& base);

// The caption's point size field: tenths of a point.
int captionPointSizeTenths(const QFont& chosen);

}  // namespace tellavine::ui
