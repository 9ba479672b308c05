#include "ui/controls/masked_bitmap.h"

#include <QPainter>

namespace tellavine::ui {

bool MaskedBitmap::loadFile(const QString& path) {
    return setImage(QImage(path));
}

bool MaskedBitmap::setImage(const QImage& image) {
    if (image.isNull()) return false;
    bitmap_ = image.convertToFormat(QImage::Format_RGB32);
    masked_ = bitmap_.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = key_ & 0x00ffffff;
    for (int y = 0; y < masked_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked_.scanLine(y));
        for (int x = 0; x < masked_.width(); ++x) {
            if ((line[x] & 0x00ffffff) == key) line[x] = 0;
        }
    }
    return true;
}

bool MaskedBitmap::transparentAt(int x, int y) const {
    return masked_.valid(x, y) && qAlpha(masked_.pixel(x, y)) == 0;
}

void MaskedBitmap::draw(QPainter& target, int x, int y, int width, int height, int sourceX, int sourceY) const {
    target.drawImage(QPoint(x, y), bitmap_, QRect(sourceX, sourceY, width, height));
}

void MaskedBitmap::drawMasked(QPainter& target, int x, int y, int width, int height, int sourceX,
                              int sourceY) const {
    const QPainter::CompositionMode mode = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.drawImage(QPoint(x, y), masked_, QRect(sourceX, sourceY, width, height));
    target.setCompositionMode(mode);
}

}  // namespace tellavine::ui
