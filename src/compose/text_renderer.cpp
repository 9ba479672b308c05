#include "compose/text_renderer.h"

#include "platform/text.h"

#include <pango/pangocairo.h>

#include <cmath>

namespace tellavine {

std::string fontFamilyFor(const std::string& windowsFace) {
    struct Alias { const char* windows; const char* installed; };
    static constexpr Alias kAliases[] = {
        {"Arial", "Liberation Sans"},         {"Helvetica", "Liberation Sans"},
        {"Comic Sans MS", "Comic Neue"},      {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},   {"Verdana", "DejaVu Sans"},
        {"Tahoma", "DejaVu Sans"},            {"MS Sans Serif", "Liberation Sans"},
        {"Arial Narrow", "Liberation Sans Narrow"},
    };
    for (const Alias& alias : kAliases)
        if (equalsIgnoreCase(windowsFace, alias.windows)) return alias.installed;
    return windowsFace.empty() ? std::string("Sans") : windowsFace;
}

namespace {

struct DescriptionFree {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using Description = std::unique_ptr<PangoFontDescription, DescriptionFree>;

constexpr std::uint8_t kNonAntialiasedQuality = 3;
constexpr int kDefaultPixelHeight = 16;

Description describe(const LogFont& font) {
    Description d(pango_font_description_new());
    pango_font_description_set_family(d.get(), fontFamilyFor(font.face()).c_str());
    const int weight = font.weight <= 0 ? 400 : std::clamp(font.weight, 100, 1000);
    pango_font_description_set_weight(d.get(), static_cast<PangoWeight>(weight));
    pango_font_description_set_style(d.get(), font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

// The em size in pixels for a LOGFONT height: a negative height is the character
// height (the em), a positive one the cell height (ascent + descent) of the face.
double emPixels(PangoContext* context, const LogFont& font) {
    if (font.height < 0) return -static_cast<double>(font.height);
    if (font.height == 0) return kDefaultPixelHeight;
    Description d = describe(font);
    constexpr double kProbe = 1000.0;
    pango_font_description_set_absolute_size(d.get(), kProbe * PANGO_SCALE);
    PangoFontMetrics* metrics = pango_context_get_metrics(context, d.get(), nullptr);
    const double cell = static_cast<double>(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    return cell > 0 ? font.height * kProbe / cell : font.height;
}

}  // namespace

TextLine::TextLine(cairo_t* context, const LogFont& font, const std::string& text) : context_(context) {
    layout_ = pango_cairo_create_layout(context);
    antialias_ = font.quality != kNonAntialiasedQuality;
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias_ ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout_), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout_);

    Description d = describe(font);
    const double em = emPixels(pango_layout_get_context(layout_), font);
    pango_font_description_set_absolute_size(d.get(), std::max(1.0, em) * PANGO_SCALE);
    pango_layout_set_font_description(layout_, d.get());
    pango_layout_set_single_paragraph_mode(layout_, TRUE);

    PangoAttrList* attributes = pango_attr_list_new();
    if (font.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.strikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout_, attributes);
    pango_attr_list_unref(attributes);
    pango_layout_set_text(layout_, text.c_str(), -1);
}

TextLine::~TextLine() { g_object_unref(layout_); }

int TextLine::width() const {
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout_, &w, &h);
    return w;
}

int TextLine::height() const {
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout_, &w, &h);
    return h;
}

int TextLine::unknownGlyphs() const { return pango_layout_get_unknown_glyphs_count(layout_); }

std::string TextLine::resolvedFamily() const {
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout_, 0);
    if (!line || !line->runs) return {};
    auto* run = static_cast<PangoGlyphItem*>(line->runs->data);
    PangoFontDescription* d = pango_font_describe(run->item->analysis.font);
    std::string family = pango_font_description_get_family(d) ? pango_font_description_get_family(d) : "";
    pango_font_description_free(d);
    return family;
}

void TextLine::ellipsizeTo(int maxWidth) {
    if (width() <= maxWidth) return;
    pango_layout_set_width(layout_, std::max(0, maxWidth) * PANGO_SCALE);
    pango_layout_set_ellipsize(layout_, PANGO_ELLIPSIZE_END);
}

void TextLine::draw(int x, int y, ColourRef colour) {
    cairo_save(context_);
    cairo_set_antialias(context_, antialias_ ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(context_, (colour & 0xFF) / 255.0, (colour >> 8 & 0xFF) / 255.0, (colour >> 16 & 0xFF) / 255.0);
    cairo_move_to(context_, x, y);
    pango_cairo_show_layout(context_, layout_);
    cairo_restore(context_);
}

}  // namespace tellavine
