#include "ui/pages/menu_button_faces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tellavine::ui {
namespace {

const QColor kInk(30, 45, 75);
const QColor kSignColour(40, 90, 170);

void drawArrow(QPainter& p, const QRectF& box, bool pointsRight) {
    const qreal mid = box.center().y();
    const qreal tip = pointsRight ? box.right() : box.left();
    const qreal back = pointsRight ? box.left() : box.right();
    QPainterPath arrow;
    arrow.moveTo(tip, mid);
    arrow.lineTo(back, box.top());
    arrow.lineTo(back, box.bottom());
    arrow.closeSubpath();
    p.fillPath(arrow, kSignColour);
}

void drawNote(QPainter& p, const QRectF& box) {
    p.setPen(QPen(kSignColour, 2));
    const qreal stemX = box.left() + box.width() * 0.45;
    const qreal flagX = box.right() - 1;
    p.drawLine(QPointF(stemX, box.bottom() - 3), QPointF(stemX, box.top() + 1));
    p.drawLine(QPointF(flagX, box.bottom() - 5), QPointF(flagX, box.top() + 3));
    p.drawLine(QPointF(stemX, box.top() + 1), QPointF(flagX, box.top() + 3));
    p.setPen(Qt::NoPen);
    p.setBrush(kSignColour);
    p.drawEllipse(QPointF(stemX - 3, box.bottom() - 3), 3.5, 2.8);
    p.drawEllipse(QPointF(flagX - 3, box.bottom() - 5), 3.5, 2.8);
}

void drawPictureSign(QPainter& p, const QRectF& box) {
    p.setPen(QPen(kSignColour, 1.5));
    p.setBrush(QColor(215, 230, 250));
    p.drawRect(box);
    QPainterPath hills;
    hills.moveTo(box.left() + 1, box.bottom() - 1);
    hills.lineTo(box.left() + box.width() * 0.4, box.top() + box.height() * 0.45);
    hills.lineTo(box.left() + box.width() * 0.65, box.top() + box.height() * 0.7);
    hills.lineTo(box.left() + box.width() * 0.8, box.top() + box.height() * 0.55);
    hills.lineTo(box.right() - 1, box.bottom() - 1);
    hills.closeSubpath();
    p.fillPath(hills, QColor(70, 140, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 180, 40));
    p.drawEllipse(QPointF(box.left() + box.width() * 0.75, box.top() + box.height() * 0.3), 2, 2);
}

}  // namespace

QPixmap drawMenuButtonFace(MenuButtonSign sign, const QString& caption, int width, int height) {
    QPixmap face(width, height);
    face.fill(Qt::transparent);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient plate(0, 0, 0, height);
    plate.setColorAt(0, QColor(252, 252, 253));
    plate.setColorAt(1, QColor(222, 226, 233));
    p.setPen(QColor(150, 158, 172));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1.0, height - 1.0), 4, 4);

    const qreal signSize = height - 14.0;
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    const int textWidth = p.fontMetrics().horizontalAdvance(caption);
    const int gap = 6;
    const qreal total = signSize + gap + textWidth;
    const qreal left = (width - total) / 2;
    const qreal top = (height - signSize) / 2;
    // The next arrow follows its caption; every other sign comes first.
    const bool signLast = sign == MenuButtonSign::Next;
    const QRectF signBox(signLast ? left + textWidth + gap : left, top, signSize, signSize);
    const QRectF textBox(signLast ? left : left + signSize + gap, 0, textWidth + 1, height);
    switch (sign) {
        case MenuButtonSign::Previous: drawArrow(p, signBox.adjusted(2, 1, -2, -1), false); break;
        case MenuButtonSign::Next: drawArrow(p, signBox.adjusted(2, 1, -2, -1), true); break;
        case MenuButtonSign::Music: drawNote(p, signBox); break;
        case MenuButtonSign::Picture: drawPictureSign(p, signBox.adjusted(0, 1, 0, -1)); break;
    }
    p.setPen(kInk);
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, caption);
    return face;
}

}  // namespace tellavine::ui
