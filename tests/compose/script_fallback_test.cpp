// Captions and menu titles in scripts the chosen face lacks: each character falls back
// to an installed face that has it (Noto), so the text shows as letters, not as the
// boxes drawn for characters no font has.
#include "compose/caption.h"
#include "compose/menu_page.h"
#include "compose/text_renderer.h"

#include <gtest/gtest.h>

#include <pango/pangocairo.h>

namespace tellavine {
namespace {

struct Ink {
    int lit = 0;                  // pixels not black
    std::vector<bool> mask;       // which ones
};

Ink inkOf(const Canvas& canvas) {
    const Picture p = canvas.toPicture();
    Ink ink;
    ink.mask.resize(static_cast<std::size_t>(p.width()) * p.height());
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const Rgb px = p.pixel(x, y);
            const bool on = px.r > 64 || px.g > 64 || px.b > 64;
            ink.mask[static_cast<std::size_t>(y) * p.width() + x] = on;
            ink.lit += on;
        }
    return ink;
}

// The boxes the text would be without fallback: the same text and pixel size in a
// Latin face that lacks the script, with Pango's per-character fallback switched off.
Ink boxRendering(const std::string& text, int pixelHeight, int width, int height) {
    Canvas canvas(width, height);
    PangoLayout* layout = pango_cairo_create_layout(canvas.context());
    PangoFontDescription* font = pango_font_description_from_string("Liberation Sans");
    pango_font_description_set_absolute_size(font, pixelHeight * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_fallback_new(FALSE));
    pango_layout_set_attributes(layout, attributes);
    pango_layout_set_text(layout, text.c_str(), -1);
    EXPECT_GT(pango_layout_get_unknown_glyphs_count(layout), 0) << "the reference must be boxes";
    cairo_set_source_rgb(canvas.context(), 1, 1, 1);
    cairo_move_to(canvas.context(), 10, 10);
    pango_cairo_show_layout(canvas.context(), layout);
    pango_attr_list_unref(attributes);
    pango_font_description_free(font);
    g_object_unref(layout);
    return inkOf(canvas);
}

struct Script {
    const char* name;
    const char* text;
};

void PrintTo(const Script& script, std::ostream* out) { *out << script.name; }

class ScriptFallback : public ::testing::TestWithParam<Script> {};

// Through the caption drawing of the slides (anti-aliased Comic Sans MS stand-in) and
// the menu title's face (Arial, not anti-aliased): no character is left without a font,
// and the ink differs from the box rendering in most of the pixels either one lights.
TEST_P(ScriptFallback, CaptionsAndMenuTitlesDrawRealGlyphs) {
    const Script& script = GetParam();
    constexpr int kWidth = 704, kHeight = 120, kPixels = 48;

    Canvas captionCanvas(kWidth, kHeight);
    SlideCaption caption;
    caption.text = script.text;
    caption.align = CaptionAlign::UserDefined;
    caption.x = 10;
    caption.y = 10;
    caption.shadow = false;
    caption.textColour = makeColourRef(255, 255, 255);
    caption.font.height = -kPixels;
    drawCaption(captionCanvas, {0, 0, kWidth, kHeight}, caption, false);
    EXPECT_EQ(TextLine(captionCanvas.context(), caption.font, script.text).unknownGlyphs(), 0);

    Canvas titleCanvas(kWidth, kHeight);
    LogFont titleFont = menuTitleFont();
    titleFont.height = -kPixels;
    TextLine title(titleCanvas.context(), titleFont, script.text);
    EXPECT_EQ(title.unknownGlyphs(), 0);
    title.draw(10, 10, makeColourRef(255, 255, 255));

    const Ink boxes = boxRendering(script.text, kPixels, kWidth, kHeight);
    for (const Ink& drawn : {inkOf(captionCanvas), inkOf(titleCanvas)}) {
        int either = 0, both = 0;
        for (std::size_t i = 0; i < drawn.mask.size(); ++i) {
            either += drawn.mask[i] || boxes.mask[i];
            both += drawn.mask[i] && boxes.mask[i];
        }
        EXPECT_GT(drawn.lit, 300) << "hardly any ink";
        EXPECT_LT(both, either / 2) << "drawn " << drawn.lit << " pixels, boxes " << boxes.lit;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryScript, ScriptFallback,
    ::testing::Values(Script{"Japanese", "こんにちは、世界"}, Script{"Chinese", "你好，世界"},
                      Script{"Korean", "안녕하세요 세계"}, Script{"Arabic", "مرحبا بالعالم"},
                      Script{"Hebrew", "שלום עולם"}, Script{"Thai", "สวัสดีชาวโลก"},
                      Script{"Devanagari", "नमस्ते दुनिया"}),
    [](const ::testing::TestParamInfo<Script>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine
