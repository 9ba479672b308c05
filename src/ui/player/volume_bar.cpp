#include "ui/player/volume_bar.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tellavine::ui {

VolumeBar::VolumeBar(QWidget* parent) : QWidget(parent) {
    setFixedSize(118, 20);
    setToolTip(tr("Volume"));
}

void VolumeBar::setValue(int percent) {
    value_ = std::clamp(percent, 0, 100);
    update();
}

void VolumeBar::chooseAt(int x) {
    if (x < 0 || x > width()) return;  // outside: the last valid value stands
    setValue(x * 100 / width());
    emit volumeChosen(value_);
}

void VolumeBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    chooseAt(event->position().toPoint().x());
}

void VolumeBar::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) chooseAt(event->position().toPoint().x());
}

void VolumeBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    emit volumeChosen(value_);
}

void VolumeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A wedge that grows to the right, empty track under the filled part.
    QPainterPath wedge;
    wedge.moveTo(1, height() - 3);
    wedge.lineTo(width() - 1, 3);
    wedge.lineTo(width() - 1, height() - 3);
    wedge.closeSubpath();
    const QColor enabledFill = isEnabled() ? QColor(90, 200, 120) : QColor(110, 116, 128);
    p.setPen(QPen(QColor(110, 120, 140), 1));
    p.setBrush(QColor(30, 34, 44));
    p.drawPath(wedge);
    p.save();
    p.setClipRect(QRectF(0, 0, value_ * width() / 100.0, height()));
    QLinearGradient fill(0, 0, width(), 0);
    fill.setColorAt(0, enabledFill.darker(130));
    fill.setColorAt(1, enabledFill.lighter(120));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(wedge);
    p.restore();
}

}  // namespace tellavine::ui
