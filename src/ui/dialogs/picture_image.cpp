#include "ui/dialogs/picture_image.h"

#include <cstring>

namespace tellavine::ui {

QImage toQImage(const Picture& picture) {
    if (!picture.valid()) return {};
    QImage image(picture.width(), picture.height(), QImage::Format_RGB888);
    if (image.isNull()) return {};
    for (int y = 0; y < picture.height(); ++y) std::memcpy(image.scanLine(y), picture.row(y), picture.rowBytes());
    return image;
}

Picture toPicture(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Picture picture = Picture::create(rgb.width(), rgb.height());
    if (!picture.valid()) return {};
    for (int y = 0; y < rgb.height(); ++y) std::memcpy(picture.row(y), rgb.constScanLine(y), picture.rowBytes());
    return picture;
}

}  // namespace tellavine::ui
