#include "ui/controls/colour_button.h"

#include "project/messages.h"
#include "ui/controls/colour_palette.h"

#include <QCoreApplication>
#include <QColorDialog>
#include <algorithm>
#include <QGuiApplication>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <QVBoxLayout>

namespace tellavine::ui {

QColor toQColor(ColourRef colour) {
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

ColourRef toColourRef(const QColor& colour) {
    return makeColourRef(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                         static_cast<std::uint8_t>(colour.blue()));
}

namespace {

class Swatch : public QToolButton {
public:
    Swatch(int index, QWidget* parent) : QToolButton(parent), index_(index) {
        setFixedSize(22, 22);
        setAutoRaise(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QToolButton::paintEvent(event);
        QPainter painter(this);
        painter.setPen(QColor(128, 128, 128));
        painter.setBrush(toQColor(ColourPalette::shared().colour(index_)));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }

private:
    int index_;
};

}  // namespace

ColourPopup::ColourPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    askColour = [this](const QColor& initial) {
        return QColorDialog::getColor(initial, this, QString(), QColorDialog::DontUseNativeDialog);
    };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    for (int i = 0; i < ColourPalette::kSize; ++i) {
        auto* swatch = new Swatch(i, this);
        const int id = ColourPalette::kFirstSwatchId + i;
        swatch->setObjectName(QStringLiteral("swatch%1").arg(id));
        connect(swatch, &QToolButton::clicked, this, [this, id] { chooseSwatch(id); });
        grid->addWidget(swatch, i / 4, i % 4);
    }
    column->addLayout(grid);
    QString otherText = QCoreApplication::translate("Tellavine", "Other...");
    for (const auto& [id, text] : applyDialogTexts("COLOR_WINDOW", {ColourPalette::kOtherButtonId}).controls) {
        if (id == ColourPalette::kOtherButtonId) otherText = QString::fromStdString(text);
    }
    auto* otherButton = new QPushButton(otherText, this);
    otherButton->setObjectName(QStringLiteral("other"));
    connect(otherButton, &QPushButton::clicked, this, &ColourPopup::other);
    column->addWidget(otherButton);
}

void ColourPopup::popupAt(const QPoint& anchor, int anchorHeight) {
    adjustSize();
    QPoint topLeft = anchor;
    if (const QScreen* screen = QGuiApplication::screenAt(anchor)) {
        const QRect area = screen->availableGeometry();
        if (topLeft.x() + width() > area.right()) topLeft.setX(area.right() - width());
        if (topLeft.y() + height() > area.bottom()) topLeft.setY(anchor.y() - anchorHeight - height());
        topLeft.setX(std::max(topLeft.x(), area.left()));
        topLeft.setY(std::max(topLeft.y(), area.top()));
    }
    move(topLeft);
    show();
}

void ColourPopup::chooseSwatch(int swatchId) {
    const int index = swatchId - ColourPalette::kFirstSwatchId;
    if (index < 0 || index >= ColourPalette::kSize) return;
    ColourPalette::shared().choose(index);
    emit chosen(index);
    close();
}

void ColourPopup::chooseOtherColour(const QColor& colour) {
    const int index = ColourPalette::shared().chooseOther(toColourRef(colour));
    emit chosen(index);
    close();
}

void ColourPopup::other() {
    // The popup steps aside while the dialog is open and comes back on Cancel.
    hide();
    const QColor colour = askColour(Qt::white);
    if (colour.isValid()) {
        chooseOtherColour(colour);
    } else {
        show();
    }
}

ColourButton::ColourButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &ColourButton::openPopup);
}

void ColourButton::setColour(ColourRef colour) {
    colour_ = colour;
    paletteIndex_ = ColourPalette::shared().indexOf(colour);
    update();
}

void ColourButton::openPopup() {
    auto* popup = new ColourPopup(this);
    connect(popup, &ColourPopup::chosen, this, &ColourButton::takeChoice);
    popup->popupAt(mapToGlobal(rect().bottomLeft()), height());
}

void ColourButton::takeChoice(int paletteIndex) {
    paletteIndex_ = paletteIndex;
    colour_ = ColourPalette::shared().colour(paletteIndex);
    update();
    if (parentWidget()) parentWidget()->update();
    emit colourChanged(colour_);
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    // Raised or sunken edges.
    const QColor light = isDown() ? QColor(128, 128, 128) : Qt::white;
    const QColor dark = isDown() ? Qt::white : QColor(128, 128, 128);
    painter.setPen(Qt::black);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(light);
    painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    painter.setPen(dark);
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    // Separator and arrow.
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(r.right() - 11, r.top() + 4, r.right() - 11, r.bottom() - 4);
    painter.setPen(Qt::white);
    painter.drawLine(r.right() - 10, r.top() + 4, r.right() - 10, r.bottom() - 4);
    const int ax = r.right() - 7;
    const int ay = r.center().y() - 1;
    const QPoint arrow[3] = {{ax - 3, ay}, {ax + 3, ay}, {ax, ay + 3}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? Qt::black : Qt::white);
    painter.drawPolygon(arrow, 3);
    if (isEnabled()) {
        painter.setPen(Qt::black);
        painter.setBrush(toQColor(colour_));
        painter.drawRect(QRect(QPoint(r.left() + 5, r.top() + 4), QPoint(r.right() - 15, r.bottom() - 4)));
    }
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(r.adjusted(3, 3, -13, -3));
    }
}

}  // namespace tellavine::ui
