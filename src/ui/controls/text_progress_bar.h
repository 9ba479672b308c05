#pragma once
// A progress bar drawn by the program that prints its percentage (or a fixed text)
// across the bar, in the background colour over the bar and the bar colour elsewhere.

#include <QWidget>

#include <optional>

namespace tellavine::ui {

// The text shown for a position: nothing when the range is empty, the fixed text when
// one is set, else "<percent>%" with the fraction truncated.
std::optional<QString> progressBarText(int lower, int upper, int position, const QString& fixedText);
// The bar's filled width in pixels (0 when the range is empty).
int progressBarWidth(int lower, int upper, int position, int clientWidth);

class TextProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit TextProgressBar(QWidget* parent = nullptr);

    void setRange(int lower, int upper);
    int lower() const { return lower_; }
    int upper() const { return upper_; }
    // Returns the previous position; repaints only when the filled width changes.
    int setPosition(int position);
    int position() const { return position_; }
    void setStep(int step) { step_ = step; }
    int stepIt() { return setPosition(position_ + step_); }
    // The fixed text shown instead of the percentage (empty: the percentage).
    void setText(const QString& text);
    QString text() const { return fixedText_; }
    void setShowText(bool show);
    // What the bar shows now, for tests and accessibility.
    std::optional<QString> shownText() const;

    QSize sizeHint() const override { return {200, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int step_ = 1;
    bool showText_ = true;
    QString fixedText_;
    int cachedBarWidth_ = -1;
};

}  // namespace tellavine::ui
