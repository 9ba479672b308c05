#include "ui/controls/disc_usage_gauge.h"

#include <QPainter>

#include <algorithm>

namespace tellavine::ui {
namespace {

constexpr int kIntervals = 8;
constexpr int kMajorTick = 6;
constexpr int kMinorTick = 3;
const QColor kBackground(233, 240, 248);
const QColor kGreen(60, 160, 50);
const QColor kYellow(204, 204, 0);

}  // namespace

std::vector<int> labelledGaugeTicks(int width) {
    const int every = width < 161 ? 4 : width < 321 ? 2 : 1;
    std::vector<int> ticks;
    for (int tick = 0; tick <= kIntervals; tick += every) ticks.push_back(tick);
    return ticks;
}

QString gaugeTickLabel(int tick) {
    return tick == 0 ? QStringLiteral("0MB") : QString::number(tick * 100);
}

GaugeBars gaugeBars(int seconds, int width) {
    const long long value = std::clamp(seconds, 0, kGaugeMaxSeconds);
    GaugeBars bars;
    if (value <= kGaugeGreenSeconds) {
        bars.greenEnd = static_cast<int>(width * value / kGaugeMaxSeconds);
        bars.yellowEnd = bars.greenEnd;
    } else {
        bars.greenEnd = static_cast<int>(static_cast<long long>(width) * 74 / 80);
        // Past 74 minutes at least a sliver of yellow shows, so the warning never hides
        // behind the two pixels the bar leaves free at its end.
        bars.yellowEnd = std::max(bars.greenEnd + 1, static_cast<int>(width * value / kGaugeMaxSeconds) - 2);
    }
    return bars;
}

DiscUsageGauge::DiscUsageGauge(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(22);
    setToolTip(tr("Estimated disc usage"));
}

void DiscUsageGauge::setSeconds(int seconds) {
    const int value = std::clamp(seconds, 0, kGaugeMaxSeconds);
    if (value == seconds_) return;
    seconds_ = value;
    update();
}

void DiscUsageGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, kBackground);
    // Sunken edge: dark on top and left, light on bottom and right.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());

    const QRect inner = frame.adjusted(2, 2, -2, -2);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    font.setWeight(QFont::Light);
    painter.setFont(font);
    const int rulerBottom = inner.bottom();
    // The labels stand beside the ticks; the bar takes the room above them.
    const int barBottom = rulerBottom - painter.fontMetrics().ascent() - 1;

    const GaugeBars bars = gaugeBars(seconds_, inner.width());
    const int barTop = inner.top() + 1;
    const int barHeight = std::max(3, barBottom - barTop);
    painter.fillRect(QRect(inner.left(), barTop, bars.greenEnd, barHeight), kGreen);
    if (bars.yellowEnd > bars.greenEnd) {
        painter.fillRect(QRect(inner.left() + bars.greenEnd, barTop, bars.yellowEnd - bars.greenEnd, barHeight),
                         kYellow);
    }

    painter.setPen(QColor(70, 80, 100));
    const std::vector<int> labelled = labelledGaugeTicks(width());
    for (int tick = 0; tick <= kIntervals; ++tick) {
        const int x = inner.left() + (inner.width() - 1) * tick / kIntervals;
        painter.drawLine(x, rulerBottom - kMajorTick, x, rulerBottom);
        if (tick < kIntervals) {
            const int half = inner.left() + (inner.width() - 1) * (2 * tick + 1) / (2 * kIntervals);
            painter.drawLine(half, rulerBottom - kMinorTick, half, rulerBottom);
        }
        if (std::find(labelled.begin(), labelled.end(), tick) == labelled.end()) continue;
        const int labelX = tick == kIntervals ? x - 18 : x + 2;
        painter.drawText(QPoint(labelX, rulerBottom - 1), gaugeTickLabel(tick));
    }
}

}  // namespace tellavine::ui
