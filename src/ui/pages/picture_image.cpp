#include "ui/pages/picture_image.h"

namespace tellavine::ui {

QImage toQImage(const Picture& picture) {
    if (!picture.valid()) return {};
    // The picture's rows have no padding; the copy detaches from its buffer.
    return QImage(picture.pixels().data(), picture.width(), picture.height(), static_cast<qsizetype>(picture.rowBytes()),
                  QImage::Format_RGB888)
        .copy();
}

}  // namespace tellavine::ui
