#include "ui/controls/text_progress_bar.h"

#include <QPainter>
#include <algorithm>
#include <QPixmap>

namespace tellavine::ui {
namespace {

const QColor kBarColour(100, 130, 210);
const QColor kBackgroundColour(220, 240, 230);

}  // namespace

std::optional<QString> progressBarText(int lower, int upper, int position, const QString& fixedText) {
    if (upper <= lower) return std::nullopt;
    if (!fixedText.isEmpty()) return fixedText;
    const long long percent = (static_cast<long long>(position) - lower) * 100 / (upper - lower);
    return QStringLiteral("%1%").arg(percent);
}

int progressBarWidth(int lower, int upper, int position, int clientWidth) {
    if (upper <= lower) return 0;
    return static_cast<int>((static_cast<long long>(position) - lower) * clientWidth / (upper - lower));
}

TextProgressBar::TextProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the background is never erased separately
    setMinimumHeight(18);
}

void TextProgressBar::setRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    cachedBarWidth_ = -1;
    update();
}

int TextProgressBar::setPosition(int position) {
    const int previous = position_;
    position_ = position;
    if (progressBarWidth(lower_, upper_, position_, width()) != cachedBarWidth_) update();
    return previous;
}

void TextProgressBar::setText(const QString& text) {
    if (text == fixedText_) return;
    fixedText_ = text;
    update();
}

void TextProgressBar::setShowText(bool show) {
    showText_ = show;
    update();
}

std::optional<QString> TextProgressBar::shownText() const {
    if (!showText_) return std::nullopt;
    return progressBarText(lower_, upper_, position_, fixedText_);
}

void TextProgressBar::resizeEvent(QResizeEvent*) {
    cachedBarWidth_ = -1;
}

void TextProgressBar::paintEvent(QPaintEvent*) {
    if (upper_ <= lower_) return;
    QPixmap buffer(size() * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&buffer);
    const int barWidth = std::clamp(progressBarWidth(lower_, upper_, position_, width()), 0, width());
    cachedBarWidth_ = barWidth;
    const QRect barRect(0, 0, barWidth, height());
    const QRect restRect(barWidth, 0, width() - barWidth, height());
    painter.fillRect(barRect, kBarColour);
    painter.fillRect(restRect, kBackgroundColour);
    if (const auto text = shownText()) {
        painter.setFont(font());
        painter.setClipRect(barRect);
        painter.setPen(kBackgroundColour);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, *text);
        painter.setClipRect(restRect);
        painter.setPen(kBarColour);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, *text);
    }
    painter.end();
    QPainter(this).drawPixmap(0, 0, buffer);
}

}  // namespace tellavine::ui
