#pragma once
// Where the disc menu page sits on the menu page's canvas, and where its album titles
// answer a double click. Pure geometry, shared by painting and the hit test so the two
// never disagree.

#include "compose/menu_template.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace tellavine::ui {

// The largest 4:3 rectangle inside `canvas` with 6 pixels margin, centred.
QRect fitMenuPage(const QRect& canvas);

struct TitleHit {
    int album = -1;  // index into the project's albums
    QRect rect;
};

// The title boxes of the albums shown from `firstAlbum` on a page drawn into `page`:
// the template's text boxes scaled to the page, moved 4 pixels right and down.
std::vector<TitleHit> titleHitRects(const MenuTemplate& menuTemplate, const QRect& page, int firstAlbum,
                                    int albumCount);

// The album whose title box holds `point`, or -1.
int titleAt(const std::vector<TitleHit>& hits, const QPoint& point);

}  // namespace tellavine::ui
