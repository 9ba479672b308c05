#include "ui/pages/menu_canvas_geometry.h"

namespace tellavine::ui {

namespace {
constexpr int kPageMargin = 6;
constexpr int kHitOffset = 4;
}  // namespace

QRect fitMenuPage(const QRect& canvas) {
    int width = 0;
    int height = 0;
    if (canvas.height() / 3 < canvas.width() / 4) {
        height = canvas.height() - 2 * kPageMargin;
        width = height * 4 / 3;
    } else {
        width = canvas.width() - 2 * kPageMargin;
        height = width * 3 / 4;
    }
    if (width <= 0 || height <= 0) return {};
    return QRect(canvas.left() + (canvas.width() - width) / 2, canvas.top() + (canvas.height() - height) / 2, width,
                 height);
}

std::vector<TitleHit> titleHitRects(const MenuTemplate& t, const QRect& page, int firstAlbum, int albumCount) {
    std::vector<TitleHit> hits;
    if (page.isEmpty()) return hits;
    const double sx = static_cast<double>(page.width()) / t.drawWidth();
    const double sy = static_cast<double>(page.height()) / t.drawHeight();
    for (int n = 1; n <= t.itemsCount && n <= static_cast<int>(t.texts.size()); ++n) {
        const int album = firstAlbum + n - 1;
        if (album >= albumCount) break;
        const TemplatePoint at = t.texts[static_cast<std::size_t>(n - 1)];
        const QRect rect(static_cast<int>(sx * at.x) + page.left() + kHitOffset,
                         static_cast<int>(sy * at.y) + page.top() + kHitOffset, static_cast<int>(t.textWidth * sx),
                         static_cast<int>(t.textHeight * sy));
        if (!rect.isEmpty()) hits.push_back({album, rect});  // a box of no size takes no click
    }
    return hits;
}

int titleAt(const std::vector<TitleHit>& hits, const QPoint& point) {
    for (const TitleHit& hit : hits) {
        if (hit.rect.contains(point)) return hit.album;
    }
    return -1;
}

}  // namespace tellavine::ui
