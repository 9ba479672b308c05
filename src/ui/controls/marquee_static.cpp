#include "ui/controls/marquee_static.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

namespace tellavine::ui {

MarqueeStatic::MarqueeStatic(QWidget* parent) : QWidget(parent) {
    QFont marqueeFont(QStringLiteral("Verdana"));
    marqueeFont.setPixelSize(14);
    setFont(marqueeFont);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MarqueeStatic::setText(const QString& text) {
    stopTimer();
    text_ = text;
    offset_ = 0;
    if (marqueeScrolls(text_.size()) && !autoScrollStopped_) startTimer();
    update();
}

void MarqueeStatic::setTextColour(const QColor& colour) {
    textColour_ = colour;
    update();
}

void MarqueeStatic::startTimer() {
    if (timerId_ == 0) timerId_ = QObject::startTimer(kMarqueeTimerMs);
}

void MarqueeStatic::stopTimer() {
    if (timerId_ != 0) killTimer(timerId_);
    timerId_ = 0;
}

int MarqueeStatic::textWidth() const {
    return fontMetrics().horizontalAdvance(text_);
}

void MarqueeStatic::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timerId_) return;
    offset_ = nextMarqueeOffset(offset_, step_, textWidth(), width());
    update();
}

void MarqueeStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(textColour_);
    painter.drawText(QRect(-offset_, 0, std::max(textWidth(), width()) + 4, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

void MarqueeStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    stopTimer();
    dragging_ = true;
    dragX_ = event->position().toPoint().x();
}

void MarqueeStatic::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const int x = event->position().toPoint().x();
    offset_ = std::clamp(offset_ - (x - dragX_), -width(), textWidth());
    dragX_ = x;
    update();
}

void MarqueeStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    if (!autoScrollStopped_ && marqueeScrolls(text_.size())) startTimer();
}

void MarqueeStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        step_ = nextMarqueeStep(step_);
        return;
    }
    autoScrollStopped_ = !autoScrollStopped_;
    if (autoScrollStopped_) {
        stopTimer();
    } else if (marqueeScrolls(text_.size())) {
        startTimer();
    }
}

}  // namespace tellavine::ui
