#include "compose/caption.h"

#include "compose/text_renderer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tellavine {
namespace {

SlideCaption caption(const std::string& text, CaptionAlign align) {
    SlideCaption c;
    c.text = text;
    c.align = align;
    c.shadow = false;
    c.textColour = makeColourRef(255, 255, 255);
    return c;
}

TEST(Caption, AnchoredCaptionsKeepTheScaledMarginAndStoreTheirPosition) {
    Canvas canvas(768, 576);
    SlideCaption c = caption("Holiday", CaptionAlign::BottomRight);
    const Rect r = drawCaption(canvas, {0, 0, 768, 576}, c, false);
    EXPECT_EQ(r.right, 768 - 43);  // margin trunc(40 * 768 / 704)
    EXPECT_EQ(r.bottom, 576 - 43);
    const double s = 768 / 704.0;
    EXPECT_EQ(c.x, static_cast<int>(r.left / s));
    EXPECT_EQ(c.y, static_cast<int>(r.top / s));

    SlideCaption top = caption("Holiday", CaptionAlign::TopLeft);
    const Rect t = drawCaption(canvas, {0, 0, 768, 576}, top, false);
    EXPECT_EQ(t.left, 43);
    EXPECT_EQ(t.top, 43);
    EXPECT_EQ(top.x, 39);  // trunc(43 / s)

    SlideCaption centre = caption("Holiday", CaptionAlign::TopCenter);
    const Rect m = drawCaption(canvas, {0, 0, 768, 576}, centre, false);
    EXPECT_EQ(m.left, (768 - m.width()) / 2);
}

TEST(Caption, UserDefinedPositionsScaleBothCoordinatesByTheWidth) {
    Canvas canvas(384, 288);
    SlideCaption c = caption("Here", CaptionAlign::UserDefined);
    c.x = 352;
    c.y = 288;
    const Rect r = drawCaption(canvas, {0, 0, 384, 288}, c, false);
    EXPECT_EQ(r.left, 192);
    EXPECT_EQ(r.top, 157);
    EXPECT_EQ(c.x, 352);  // not written back
    EXPECT_EQ(c.y, 288);

    // An offset frame rectangle moves the caption with it.
    SlideCaption offset = caption("Here", CaptionAlign::UserDefined);
    offset.x = 352;
    offset.y = 288;
    const Rect o = drawCaption(canvas, {10, 20, 394, 308}, offset, false);
    EXPECT_EQ(o.left, 202);
    EXPECT_EQ(o.top, 177);

    // Positions from a damaged project file stay where they point: far off the frame, not
    // wrapped round to the other side by an overflowing conversion.
    Canvas wide(1024, 576);
    SlideCaption far = caption("Far", CaptionAlign::UserDefined);
    far.x = INT32_MAX;
    far.y = INT32_MIN;
    far.font.height = INT32_MIN;
    const Rect f = drawCaption(wide, {0, 0, 1024, 576}, far, false);
    EXPECT_GT(f.left, 1024);
    EXPECT_LT(f.bottom, 0);
}

TEST(Caption, TheFontHeightScalesWithTheFrameWidth) {
    Canvas wide(1024, 576);
    SlideCaption c = caption("Scale", CaptionAlign::TopLeft);
    c.font.height = -24;
    const Rect r = drawCaption(wide, {0, 0, 1024, 576}, c, false);
    LogFont expected = c.font;
    expected.height = -34;  // trunc(-24 * 1024 / 704)
    TextLine line(wide.context(), expected, "Scale");
    EXPECT_EQ(r.height(), line.height());
    EXPECT_EQ(r.width(), line.width());
    expected.height = -35;
    TextLine bigger(wide.context(), expected, "Scale");
    EXPECT_NE(r.width() * 1000 + r.height(), bigger.width() * 1000 + bigger.height());
}

TEST(Caption, TextAndShadowColoursLandWhereTheTextIs) {
    Canvas canvas(704, 576);
    SlideCaption c = caption("WWWW", CaptionAlign::TopLeft);
    c.font.height = -60;
    c.textColour = makeColourRef(255, 0, 0);
    c.shadow = true;
    c.shadowColour = makeColourRef(0, 255, 0);
    const Rect r = drawCaption(canvas, {0, 0, 704, 576}, c, false);
    const Picture p = canvas.toPicture();
    int red = 0, green = 0, outside = 0;
    for (int y = 0; y < 576; ++y)
        for (int x = 0; x < 704; ++x) {
            const Rgb px = p.pixel(x, y);
            const bool inside = x >= r.left && x < r.right + 2 && y >= r.top && y < r.bottom + 2;
            if (px.r > 200 && px.g < 50) ++red;
            if (px.g > 200 && px.r < 50) ++green;
            if (!inside && (px.r | px.g | px.b)) ++outside;
        }
    EXPECT_GT(red, 200);
    EXPECT_GT(green, 20);  // the shadow shows 2 pixels right and below
    EXPECT_EQ(outside, 0);
}

TEST(Caption, TheFocusRectangleFramesTheText) {
    Canvas canvas(704, 576);
    SlideCaption c = caption("", CaptionAlign::UserDefined);
    c.text = "Focus";
    c.x = 100;
    c.y = 100;
    const Rect r = drawCaption(canvas, {0, 0, 704, 576}, c, true);
    const Picture p = canvas.toPicture();
    int lit = 0;
    for (int x = r.left; x < r.right; ++x) lit += p.pixel(x, r.top).r > 0;
    EXPECT_GT(lit, r.width() / 3);   // dotted: about every other pixel
    EXPECT_LT(lit, r.width());
}

TEST(Caption, FontsMapToMetricCompatibleFacesAndEveryScriptRenders) {
    EXPECT_EQ(fontFamilyFor("arial"), "Liberation Sans");
    EXPECT_EQ(fontFamilyFor("Comic Sans MS"), "Comic Neue");
    EXPECT_EQ(fontFamilyFor("Georgia"), "Georgia");
    Canvas canvas(200, 100);
    LogFont comic = LogFont::captionDefault();
    EXPECT_EQ(TextLine(canvas.context(), comic, "Abc").resolvedFamily(), "Comic Neue");
    LogFont arial;
    arial.setFace("Arial");
    arial.height = -20;
    EXPECT_EQ(TextLine(canvas.context(), arial, "Abc").resolvedFamily(), "Liberation Sans");

    TextLine world(canvas.context(), comic, "Ünïcødé Ελληνικά Кириллица");
    EXPECT_EQ(world.unknownGlyphs(), 0);

    LogFont bold = arial;
    bold.weight = 700;
    EXPECT_GT(TextLine(canvas.context(), bold, "Weighty words").width(),
              TextLine(canvas.context(), arial, "Weighty words").width());
    // A positive height is the cell height.
    LogFont cell = arial;
    cell.height = 24;
    EXPECT_NEAR(TextLine(canvas.context(), cell, "Cell").height(), 24, 1);
}

TEST(Caption, UnderlineAndStrikeOutAreDrawn) {
    auto inkRows = [](const LogFont& font) {
        Canvas canvas(300, 80);
        TextLine line(canvas.context(), font, "ace ace");
        line.draw(5, 5, makeColourRef(255, 255, 255));
        const Picture p = canvas.toPicture();
        int rows = 0;
        for (int y = 0; y < 80; ++y) {
            int lit = 0;
            for (int x = 0; x < 300; ++x) lit += p.pixel(x, y).r > 128;
            rows += lit > 60;  // a line across the whole text
        }
        return rows;
    };
    LogFont plain;
    plain.setFace("Arial");
    plain.height = -30;
    LogFont underline = plain, strike = plain;
    underline.underline = 1;
    strike.strikeOut = 1;
    EXPECT_GT(inkRows(underline), inkRows(plain));
    EXPECT_GT(inkRows(strike), inkRows(plain));
}

}  // namespace
}  // namespace tellavine
