#pragma once
// A push button that shows a colour and, when clicked, offers the shared palette in
// a popup under itself; "Other..." opens the system colour dialog.

#include "project/model.h"

#include <QAbstractButton>
#include <QFrame>

#include <functional>

namespace tellavine::ui {

QColor toQColor(ColourRef colour);
ColourRef toColourRef(const QColor& colour);

// The palette popup: twenty swatches in five rows of four and "Other...".
class ColourPopup : public QFrame {
    Q_OBJECT
public:
    explicit ColourPopup(QWidget* parent = nullptr);

    // Places the popup's top-left corner at `anchor`, moved up or left to stay on screen.
    void popupAt(const QPoint& anchor, int anchorHeight);
    // Chooses swatch id 5101..5120: updates the palette's recency and closes.
    void chooseSwatch(int swatchId);
    // "Other..." with a colour picked in the system dialog.
    void chooseOtherColour(const QColor& colour);

    // Asks the user for a colour; replaced in tests. An invalid colour means Cancel.
    std::function<QColor(const QColor& initial)> askColour;

signals:
    void chosen(int paletteIndex);

private:
    void other();
};

class ColourButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColourButton(QWidget* parent = nullptr);

    void setColour(ColourRef colour);
    ColourRef colour() const { return colour_; }
    int paletteIndex() const { return paletteIndex_; }
    QSize sizeHint() const override { return {64, 24}; }

signals:
    void colourChanged(ColourRef colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openPopup();
    void takeChoice(int paletteIndex);

    ColourRef colour_ = 0;
    int paletteIndex_ = -1;
};

}  // namespace tellavine::ui
