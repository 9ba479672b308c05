#include "ui/dialogs/caption_font.h"

#include "compose/text_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tellavine::ui {

namespace {

constexpr int kDefaultPixelHeight = 16;  // what the renderer draws for height 0
constexpr double kPointsPerInch = 72.0;

QFont::Weight qtWeight(std::int32_t weight) {
    // LOGFONT weight 0 means "don't care", drawn as normal; both scales run 100..900.
    return weight <= 0 ? QFont::Normal : static_cast<QFont::Weight>(std::clamp(weight, 1, 1000));
}

}  // namespace

QFont captionQFont(const LogFont& font) {
    QFont q(QString::fromStdString(fontFamilyFor(font.face())));
    const int pixels = font.height == 0 ? kDefaultPixelHeight : std::abs(font.height);
    q.setPointSizeF(pixels * kPointsPerInch / kCaptionDotsPerInch);
    q.setWeight(qtWeight(font.weight));
    q.setItalic(font.italic != 0);
    q.setUnderline(font.underline != 0);
    q.setStrikeOut(font.strikeOut != 0);
    return q;
}

LogFont captionLogFont(const QFont& chosen, const LogFont& base) {
    const QFont offered = captionQFont(base);
    LogFont font = base;
    if (chosen.family() != offered.family()) font.setFace(chosen.family().toStdString());
    if (chosen.pointSizeF() > 0 && chosen.pointSizeF() != offered.pointSizeF())
        font.height = -static_cast<std::int32_t>(std::lround(chosen.pointSizeF() * kCaptionDotsPerInch / kPointsPerInch));
    else if (chosen.pointSizeF() <= 0 && chosen.pixelSize() > 0)  // a font sized in pixels
        font.height = -chosen.pixelSize();
    if (chosen.weight() != offered.weight()) font.weight = chosen.weight();
    if (chosen.italic() != offered.italic()) font.italic = chosen.italic() ? 1 : 0;
    if (chosen.underline() != offered.underline()) font.underline = chosen.underline() ? 1 : 0;
    if (chosen.strikeOut() != offered.strikeOut()) font.strikeOut = chosen.strikeOut() ? 1 : 0;
    return font;
}

int captionPointSizeTenths(const QFont& chosen) {
    const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF()
                                                  : chosen.pixelSize() * kPointsPerInch / kCaptionDotsPerInch;
    return static_cast<int>(std::lround(points * 10));
}

}  // namespace tellavine::ui
