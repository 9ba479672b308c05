#pragma once
// One line of text laid out with Pango in a font described by a Windows LOGFONT record:
// face name (with metric-compatible stand-ins for the usual Windows faces, and Pango's
// fallback for scripts the face lacks), height in pixels (negative: character height,
// positive: cell height), weight, italic, underline, strike-out, and antialiasing off
// for NONANTIALIASED_QUALITY.

#include "project/logfont.h"
#include "project/model.h"

#include <cairo.h>

#include <memory>
#include <string>

typedef struct _PangoLayout PangoLayout;

namespace tellavine {

// The installed family that stands in for a Windows face ("Arial" -> "Liberation Sans").
std::string fontFamilyFor(const std::string& windowsFace);

class TextLine {
public:
    // `font.height` is in pixels of the surface behind `context`.
    TextLine(cairo_t* context, const LogFont& font, const std::string& text);
    ~TextLine();
    TextLine(const TextLine&) = delete;
    TextLine& operator=(const TextLine&) = delete;

    // The drawn extent: advance width and cell height, in pixels.
    int width() const;
    int height() const;

    // Cut to `maxWidth` pixels with a trailing ellipsis when wider.
    void ellipsizeTo(int maxWidth);

    // Characters no installed font could show (drawn as boxes); 0 when all render.
    int unknownGlyphs() const;
    // The family of the font that draws the first character.
    std::string resolvedFamily() const;

    // Draws with the text's top-left corner at (x, y).
    void draw(int x, int y, ColourRef colour);

private:
    cairo_t* context_;
    PangoLayout* layout_ = nullptr;
    bool antialias_ = true;
};

}  // namespace tellavine
