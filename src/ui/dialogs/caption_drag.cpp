#include "ui/dialogs/caption_drag.h"

#include "compose/caption.h"

namespace tellavine::ui {

void CaptionDrag::start(QPoint at) {
    active_ = true;
    start_ = at;
    applied_ = {};
}

QPoint CaptionDrag::moveTo(QPoint at, int areaWidth) {
    if (!active_ || areaWidth <= 0) return {};
    const double s = areaWidth / kCaptionReferenceWidth;
    const QPoint moved = at - start_;
    const QPoint units(static_cast<int>(moved.x() / s), static_cast<int>(moved.y() / s));
    const QPoint step = units - applied_;
    applied_ = units;
    return step;
}

}  // namespace tellavine::ui
