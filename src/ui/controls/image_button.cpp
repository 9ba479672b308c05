#include "ui/controls/image_button.h"

#include "project/messages.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace tellavine::ui {

ImageButtonState imageButtonState(bool enabled, bool pressed, bool hovered) {
    if (!enabled) return ImageButtonState::Disabled;
    if (pressed) return ImageButtonState::Pressed;
    if (hovered) return ImageButtonState::Hovered;
    return ImageButtonState::Normal;
}

QPixmap makeButtonStrip(const QPixmap& face) {
    // The strip keeps the face's pixel ratio, so a face drawn for a 2x screen stays sharp.
    const qreal ratio = face.devicePixelRatio();
    const QSize size = (QSizeF(face.size()) / ratio).toSize();
    QPixmap strip(qRound(size.width() * 4 * ratio), qRound(size.height() * ratio));
    strip.setDevicePixelRatio(ratio);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);

    painter.drawPixmap(QRect(QPoint(0, 0), size), face);

    // Pressed: a sunken well with the face nudged down and right.
    painter.save();
    painter.translate(size.width(), 0);
    painter.setPen(QColor(120, 130, 150));
    painter.setBrush(QColor(200, 210, 225));
    painter.drawRoundedRect(frame, 5, 5);
    painter.drawPixmap(QRect(QPoint(1, 1), size), face);
    painter.restore();

    // Hovered: a light raised frame behind the face.
    painter.save();
    painter.translate(size.width() * 2, 0);
    painter.setPen(QColor(130, 160, 210));
    painter.setBrush(QColor(235, 242, 252));
    painter.drawRoundedRect(frame, 5, 5);
    painter.drawPixmap(QRect(QPoint(0, 0), size), face);
    painter.restore();

    // Disabled: the face in grey, faded.
    QImage grey = face.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = qGray(line[x]) / 2 + 110;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) * 2 / 3);
        }
    }
    painter.drawImage(QRect(QPoint(size.width() * 3, 0), size), grey);
    return strip;
}

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
}

bool ImageButton::create(const ImageButtonDescriptor& descriptor) {
    if (descriptor.strip.isNull() || descriptor.stripWidth < 4 || descriptor.rows < 1) return false;
    strip_ = descriptor.strip;
    face_ = QSize(descriptor.stripWidth / 4, descriptor.height / descriptor.rows);
    controlId_ = descriptor.controlId;
    setGeometry(descriptor.x, descriptor.y, face_.width(), face_.height());
    setFixedSize(face_);
    if (descriptor.tooltipId != 0) setToolTip(QString::fromStdString(tableText(descriptor.tooltipId)));
    return true;
}

ImageButtonState ImageButton::state() const {
    return imageButtonState(isEnabled(), isDown(), hovered_);
}

QSize ImageButton::sizeHint() const {
    return face_.isValid() ? face_ : QSize(32, 32);
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int quarter = static_cast<int>(state());
    // The source is in the strip's own pixels, which are finer on a high-density strip.
    const qreal ratio = strip_.devicePixelRatio();
    const QRectF source(quarter * face_.width() * ratio, 0, face_.width() * ratio, face_.height() * ratio);
    painter.drawPixmap(QRectF(rect()), strip_, source);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void ImageButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click counts as a second click.
    mousePressEvent(event);
}

}  // namespace tellavine::ui
