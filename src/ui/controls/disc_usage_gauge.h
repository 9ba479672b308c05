#pragma once
// A bar that shows how much of an 80-minute CD the project fills, with a ruler of
// megabytes along its bottom. Values are seconds of CD playing time, 0..4800.

#include <QFontMetrics>
#include <QRect>
#include <QWidget>

#include <vector>

namespace tellavine::ui {

inline constexpr int kGaugeMaxSeconds = 4800;    // 80 minutes
inline constexpr int kGaugeGreenSeconds = 4440;  // 74 minutes: beyond this, yellow

// The ruler ticks (0..8) that carry a label at a control width in pixels: every tick,
// every 2nd below 321 pixels, every 4th below 161 pixels.
std::vector<int> labelledGaugeTicks(int width);
// The label of tick i: "0MB", "100", ... "800".
QString gaugeTickLabel(int tick);

// The bar's pixel extents for a value at a width: green up to greenEnd, yellow from
// greenEnd to yellowEnd (yellowEnd == greenEnd when there is no yellow part).
struct GaugeBars {
    int greenEnd = 0;
    int yellowEnd = 0;
};
GaugeBars gaugeBars(int seconds, int width);

// Where the ruler's marks go inside the gauge's inner rectangle: major ticks at the
// nine hundred-megabyte marks, minor ticks halfway, and the labels beside their ticks
// (the last one before it). Labels are thinned out until none touches another or a
// labelled tick; any other tick a label would cover is left out, so no label touches a
// tick.
struct GaugeRuler {
    std::vector<int> majorTicks;  // x of each drawn tick
    std::vector<int> minorTicks;
    std::vector<std::pair<int, QRect>> labels;  // tick number and the label's box
};
GaugeRuler gaugeRuler(const QRect& inner, const QFontMetrics& metrics);
// The gauge's font: the application's, no taller than half the inner height.
QFont gaugeFont(const QFont& base, int innerHeight);

class DiscUsageGauge : public QWidget {
    Q_OBJECT
public:
    explicit DiscUsageGauge(QWidget* parent = nullptr);
    void setSeconds(int seconds);
    int seconds() const { return seconds_; }
    QSize sizeHint() const override { return {300, 25}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int seconds_ = 0;
};

}  // namespace tellavine::ui
