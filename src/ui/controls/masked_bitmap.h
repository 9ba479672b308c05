#pragma once
// A bitmap with a transparent key colour (pure red by default): drawn opaquely, or
// masked so that the key-colour pixels leave the target untouched.

#include <QImage>
#include <QString>

class QPainter;

namespace tellavine::ui {

class MaskedBitmap {
public:
    explicit MaskedBitmap(QRgb keyColour = qRgb(255, 0, 0)) : key_(keyColour) {}

    // From a resource of the program (":/..." path) or a file; false when unreadable.
    bool loadResource(const QString& resourcePath) { return loadFile(resourcePath); }
    bool loadFile(const QString& path);
    bool setImage(const QImage& image);

    QSize size() const { return bitmap_.size(); }
    bool isNull() const { return bitmap_.isNull(); }
    // True where the bitmap is transparent (the key colour).
    bool transparentAt(int x, int y) const;

    void draw(QPainter& target, int x, int y, int width, int height, int sourceX, int sourceY) const;
    void drawMasked(QPainter& target, int x, int y, int width, int height, int sourceX, int sourceY) const;

private:
    QRgb key_;
    QImage bitmap_;  // opaque RGB
    QImage masked_;  // the same with the key colour made transparent
};

}  // namespace tellavine::ui
