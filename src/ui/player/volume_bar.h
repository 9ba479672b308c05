#pragma once
// The mini player's volume bar: a 118 x 20 track filled over value x 118 / 100 pixels.
// Pressing sets the value where the mouse is; dragging follows it (0..100).

#include <QWidget>

namespace tellavine::ui {

class VolumeBar : public QWidget {
    Q_OBJECT
public:
    explicit VolumeBar(QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int percent);

signals:
    // Every value the user sets, while dragging and on release.
    void volumeChosen(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void chooseAt(int x);

    int value_ = 50;
    bool dragging_ = false;
};

}  // namespace tellavine::ui
