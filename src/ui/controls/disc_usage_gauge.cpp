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

QFont gaugeFont(const QFont& base, int innerHeight) {
    QFont font = base;
    const int basePixels = base.pixelSize() > 0 ? base.pixelSize() : QFontMetrics(base).ascent();
    font.setPixelSize(std::clamp(std::min(basePixels, innerHeight / 2), 7, 12));
    return font;
}

GaugeRuler gaugeRuler(const QRect& inner, const QFontMetrics& metrics) {
    constexpr int kLabelGap = 2;   // between a label and its tick
    constexpr int kClearance = 1;  // free columns beside a label
    auto tickX = [&](int tick) { return inner.left() + (inner.width() - 1) * tick / kIntervals; };
    auto halfX = [&](int tick) { return inner.left() + (inner.width() - 1) * (2 * tick + 1) / (2 * kIntervals); };
    const int labelTop = inner.bottom() - metrics.ascent() + 1;
    // A label's box with its clearance: what no tick may enter.
    auto boxOf = [&](int tick) {
        const int width = metrics.horizontalAdvance(gaugeTickLabel(tick));
        const int x = tick == kIntervals ? tickX(tick) - kLabelGap - width : tickX(tick) + kLabelGap;
        return QRect(x - kClearance, labelTop, width + 2 * kClearance, metrics.ascent());
    };

    // Every n-th tick is labelled; n grows until the labels stand clear of each other and
    // of the labelled ticks. Other ticks under a label are left out.
    GaugeRuler ruler;
    const std::vector<int> widest = labelledGaugeTicks(inner.width());
    for (int every = widest.size() > 1 ? widest[1] : kIntervals; every <= kIntervals; every *= 2) {
        std::vector<std::pair<int, QRect>> labels;
        for (int tick = 0; tick <= kIntervals; tick += every) labels.emplace_back(tick, boxOf(tick));
        bool clear = true;
        for (std::size_t i = 0; i < labels.size() && clear; ++i) {
            const QRect& box = labels[i].second;
            clear = box.left() >= inner.left() && box.right() <= inner.right();
            for (const auto& [tick, other] : labels) {
                const int x = tickX(tick);
                clear = clear && (x < box.left() || x > box.right()) && (&other == &box || !other.intersects(box));
            }
        }
        if (!clear) continue;
        ruler.labels = std::move(labels);
        break;
    }
    auto covered = [&](int x) {
        for (const auto& [tick, box] : ruler.labels) {
            if (x >= box.left() && x <= box.right()) return true;
        }
        return false;
    };
    for (int tick = 0; tick <= kIntervals; ++tick) {
        if (!covered(tickX(tick))) ruler.majorTicks.push_back(tickX(tick));
        if (tick < kIntervals && !covered(halfX(tick))) ruler.minorTicks.push_back(halfX(tick));
    }
    for (auto& [tick, box] : ruler.labels) box.adjust(kClearance, 0, -kClearance, 0);
    return ruler;
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
    painter.setFont(gaugeFont(font(), inner.height()));
    const QFontMetrics metrics = painter.fontMetrics();
    const int rulerBottom = inner.bottom();
    // The labels stand beside the ticks; the bar takes the room above them.
    const int barBottom = rulerBottom - metrics.ascent() - 1;

    const GaugeBars bars = gaugeBars(seconds_, inner.width());
    const int barTop = inner.top() + 1;
    const int barHeight = std::max(3, barBottom - barTop);
    painter.fillRect(QRect(inner.left(), barTop, bars.greenEnd, barHeight), kGreen);
    if (bars.yellowEnd > bars.greenEnd) {
        painter.fillRect(QRect(inner.left() + bars.greenEnd, barTop, bars.yellowEnd - bars.greenEnd, barHeight),
                         kYellow);
    }

    painter.setPen(QColor(70, 80, 100));
    const GaugeRuler ruler = gaugeRuler(inner, metrics);
    for (int x : ruler.majorTicks) painter.drawLine(x, rulerBottom - kMajorTick, x, rulerBottom);
    for (int x : ruler.minorTicks) painter.drawLine(x, rulerBottom - kMinorTick, x, rulerBottom);
    for (const auto& [tick, box] : ruler.labels) {
        painter.drawText(QPoint(box.left(), rulerBottom), gaugeTickLabel(tick));
    }
}

}  // namespace tellavine::ui
