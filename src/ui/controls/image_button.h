#pragma once
// A push button drawn from one bitmap strip that holds its four looks side by side:
// normal, pressed, hovered, disabled.

#include <QAbstractButton>
#include <QPixmap>

namespace tellavine::ui {

enum class ImageButtonState { Normal = 0, Pressed = 1, Hovered = 2, Disabled = 3 };

// Which quarter of the strip a button in this condition shows.
ImageButtonState imageButtonState(bool enabled, bool pressed, bool hovered);

// Makes a four-state strip from one face picture: as drawn, pressed (darker, shifted
// by a pixel), hovered (lighter, framed) and disabled (grey).
QPixmap makeButtonStrip(const QPixmap& face);

struct ImageButtonDescriptor {
    int x = 0;
    int y = 0;
    int stripWidth = 0;
    int height = 0;
    int rows = 1;
    QPixmap strip;      // the bitmap source
    int tooltipId = 0;  // string number of the tooltip (looked up under "STRINGS")
    int controlId = 0;
};

class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ImageButton(QWidget* parent = nullptr);

    // Takes the strip and places the button at (x, y), a quarter of the strip wide.
    bool create(const ImageButtonDescriptor& descriptor);
    int controlId() const { return controlId_; }
    ImageButtonState state() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap strip_;
    QSize face_;
    int controlId_ = 0;
    bool hovered_ = false;
};

}  // namespace tellavine::ui
