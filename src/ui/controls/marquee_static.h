#pragma once
// A one-line text on black that scrolls from right to left when it is too long to
// read at a glance. Dragging moves it by hand; a double click stops or restarts the
// scrolling; Ctrl + double click makes it faster (wrapping back to the slowest).

#include <QWidget>

namespace tellavine::ui {

inline constexpr int kMarqueeTimerMs = 300;
inline constexpr int kMarqueeLongText = 27;  // longer texts scroll

// True when a text of this many characters scrolls.
constexpr bool marqueeScrolls(qsizetype characters) { return characters > kMarqueeLongText; }
// The step after a Ctrl + double click: two pixels more, back to 1 above 20.
constexpr int nextMarqueeStep(int step) { return step + 2 > 20 ? 1 : step + 2; }
// The offset after one tick: it grows by the step; once it reaches the text width the
// text re-enters from the right edge.
constexpr int nextMarqueeOffset(int offset, int step, int textWidth, int clientWidth) {
    const int next = offset + step;
    return next >= textWidth ? -clientWidth : next;
}

class MarqueeStatic : public QWidget {
    Q_OBJECT
public:
    explicit MarqueeStatic(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setTextColour(const QColor& colour);
    bool scrolling() const { return timerId_ != 0; }
    int offset() const { return offset_; }
    int step() const { return step_; }

    QSize sizeHint() const override { return {200, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void startTimer();
    void stopTimer();
    int textWidth() const;

    QString text_;
    QColor textColour_ = Qt::white;
    int offset_ = 0;
    int step_ = 3;
    int timerId_ = 0;
    bool autoScrollStopped_ = false;
    bool dragging_ = false;
    int dragX_ = 0;
};

}  // namespace tellavine::ui
