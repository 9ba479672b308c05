#include "ui/app/artwork.h"

#include "tellavine_version.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <algorithm>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tellavine::ui {
namespace {

const QColor kInk(45, 62, 96);
const QColor kAccent(52, 120, 200);
const QColor kWarm(232, 150, 40);

void drawDisc(QPainter& p, const QRectF& r) {
    QRadialGradient shine(r.center(), r.width() / 2, r.topLeft() + QPointF(r.width() * 0.3, r.height() * 0.3));
    shine.setColorAt(0, QColor(250, 252, 255));
    shine.setColorAt(0.5, QColor(196, 214, 236));
    shine.setColorAt(0.8, QColor(226, 206, 240));
    shine.setColorAt(1, QColor(170, 190, 220));
    p.setPen(QPen(kInk, r.width() / 24));
    p.setBrush(shine);
    p.drawEllipse(r);
    const qreal hole = r.width() * 0.14;
    p.setBrush(Qt::white);
    p.drawEllipse(r.center(), hole, hole);
}

void drawPhoto(QPainter& p, const QRectF& r, const QColor& sky) {
    p.setPen(QPen(kInk, r.width() / 20));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, r.width() / 14, r.width() / 14);
    const QRectF inner = r.adjusted(r.width() * 0.1, r.height() * 0.1, -r.width() * 0.1, -r.height() * 0.1);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(inner);
    QPainterPath hills;
    hills.moveTo(inner.bottomLeft());
    hills.lineTo(inner.left() + inner.width() * 0.35, inner.top() + inner.height() * 0.45);
    hills.lineTo(inner.left() + inner.width() * 0.6, inner.top() + inner.height() * 0.75);
    hills.lineTo(inner.left() + inner.width() * 0.8, inner.top() + inner.height() * 0.55);
    hills.lineTo(inner.bottomRight());
    hills.closeSubpath();
    p.setBrush(QColor(70, 150, 80));
    p.drawPath(hills);
    p.setBrush(QColor(250, 220, 90));
    p.drawEllipse(QPointF(inner.left() + inner.width() * 0.75, inner.top() + inner.height() * 0.28),
                  inner.width() * 0.1, inner.width() * 0.1);
}

void drawPage(QPainter& p, const QRectF& r) {
    QPainterPath page;
    const qreal fold = r.width() * 0.3;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kInk, r.width() / 14));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawTv(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, r.width() / 18));
    p.setBrush(QColor(60, 66, 80));
    p.drawRoundedRect(r.adjusted(0, 0, 0, -r.height() * 0.15), r.width() / 10, r.width() / 10);
    QLinearGradient screen(r.topLeft(), r.bottomRight());
    screen.setColorAt(0, QColor(120, 190, 250));
    screen.setColorAt(1, QColor(40, 90, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(r.adjusted(r.width() * 0.1, r.height() * 0.1, -r.width() * 0.1, -r.height() * 0.27));
    p.setBrush(kInk);
    p.drawRect(QRectF(r.center().x() - r.width() * 0.2, r.bottom() - r.height() * 0.1, r.width() * 0.4,
                      r.height() * 0.08));
}

void drawArrow(QPainter& p, const QPointF& from, const QPointF& to, qreal width, const QColor& colour) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF left = line;
    left.setLength(width * 2.2);
    left.setAngle(line.angle() + 35);
    QLineF right = line;
    right.setLength(width * 2.2);
    right.setAngle(line.angle() - 35);
    p.drawLine(left);
    p.drawLine(right);
}

}  // namespace

QPixmap drawArtwork(Artwork picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF full(s * 0.08, s * 0.08, s * 0.84, s * 0.84);
    switch (picture) {
    case Artwork::NewProject:
        drawPage(p, QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.8));
        p.setPen(QPen(kWarm, s / 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.72, s * 0.6), QPointF(s * 0.72, s * 0.9));
        p.drawLine(QPointF(s * 0.57, s * 0.75), QPointF(s * 0.87, s * 0.75));
        break;
    case Artwork::OpenProject: {
        p.setPen(QPen(kInk, s / 16));
        p.setBrush(QColor(240, 196, 90));
        p.drawRoundedRect(QRectF(s * 0.08, s * 0.22, s * 0.8, s * 0.62), s / 16, s / 16);
        QPainterPath flap;
        flap.moveTo(s * 0.18, s * 0.42);
        flap.lineTo(s * 0.95, s * 0.42);
        flap.lineTo(s * 0.85, s * 0.84);
        flap.lineTo(s * 0.08, s * 0.84);
        flap.closeSubpath();
        p.setBrush(QColor(250, 216, 120));
        p.drawPath(flap);
        break;
    }
    case Artwork::SaveProject:
        p.setPen(QPen(kInk, s / 16));
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76), s / 12, s / 12);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.26, s * 0.12, s * 0.48, s * 0.28));
        p.setBrush(QColor(230, 236, 244));
        p.drawRect(QRectF(s * 0.24, s * 0.56, s * 0.52, s * 0.32));
        break;
    case Artwork::Editor:
        drawPhoto(p, QRectF(s * 0.06, s * 0.14, s * 0.6, s * 0.5), QColor(150, 200, 250));
        drawPhoto(p, QRectF(s * 0.32, s * 0.38, s * 0.6, s * 0.5), QColor(250, 180, 140));
        break;
    case Artwork::DiscMenu:
        drawTv(p, full);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int i = 0; i < 3; ++i) {
            p.drawRect(QRectF(s * 0.24, s * (0.24 + i * 0.13), s * 0.08, s * 0.07));
            p.drawRect(QRectF(s * 0.36, s * (0.24 + i * 0.13), s * 0.38, s * 0.07));
        }
        break;
    case Artwork::Preview: {
        drawTv(p, full);
        QPainterPath play;
        play.moveTo(s * 0.42, s * 0.25);
        play.lineTo(s * 0.64, s * 0.4);
        play.lineTo(s * 0.42, s * 0.55);
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(play);
        break;
    }
    case Artwork::BurnCd:
    case Artwork::Cd:
        drawDisc(p, full);
        if (picture == Artwork::BurnCd) {
            QPainterPath flame;
            flame.moveTo(s * 0.78, s * 0.96);
            flame.cubicTo(s * 0.55, s * 0.9, s * 0.62, s * 0.62, s * 0.8, s * 0.5);
            flame.cubicTo(s * 0.8, s * 0.66, s * 1.0, s * 0.7, s * 0.78, s * 0.96);
            p.setPen(QPen(QColor(170, 60, 20), s / 30));
            p.setBrush(QColor(245, 120, 30));
            p.drawPath(flame);
        }
        break;
    case Artwork::Help: {
        p.setPen(QPen(kInk, s / 16));
        p.setBrush(QColor(90, 160, 230));
        p.drawEllipse(full);
        QFont font;
        font.setPixelSize(static_cast<int>(s * 0.62));
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(full, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Artwork::EraseDisc:
        drawDisc(p, full);
        p.setPen(QPen(QColor(200, 50, 50), s / 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.3, s * 0.3), QPointF(s * 0.7, s * 0.7));
        p.drawLine(QPointF(s * 0.7, s * 0.3), QPointF(s * 0.3, s * 0.7));
        break;
    case Artwork::EjectDisc:
    case Artwork::CloseTray: {
        QPainterPath triangle;
        const bool up = picture == Artwork::EjectDisc;
        const qreal tip = up ? s * 0.14 : s * 0.62;
        const qreal base = up ? s * 0.56 : s * 0.2;
        triangle.moveTo(s * 0.5, tip);
        triangle.lineTo(s * 0.86, base);
        triangle.lineTo(s * 0.14, base);
        triangle.closeSubpath();
        p.setPen(QPen(kInk, s / 20));
        p.setBrush(up ? kAccent : QColor(90, 170, 90));
        p.drawPath(triangle);
        p.drawRect(QRectF(s * 0.14, s * 0.7, s * 0.72, s * 0.14));
        break;
    }
    case Artwork::Simulate:
        drawDisc(p, full);
        drawArrow(p, QPointF(s * 0.2, s * 0.85), QPointF(s * 0.8, s * 0.85), s / 14, QColor(90, 170, 90));
        break;
    case Artwork::Burn:
        drawDisc(p, full);
        drawArrow(p, QPointF(s * 0.5, s * 0.02), QPointF(s * 0.5, s * 0.42), s / 12, kWarm);
        break;
    }
    return pixmap;
}

QPixmap drawActionFace(Artwork picture, const QString& caption, int width, int height) {
    QPixmap face(width, height);
    face.fill(Qt::transparent);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    const int icon = std::min(height - 22, 40);
    p.drawPixmap((width - icon) / 2, 5, drawArtwork(picture, icon));
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(0, height - 19, width, 16), Qt::AlignCenter, caption);
    return face;
}

QPixmap drawApplicationIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient back(0, 0, 0, s);
    back.setColorAt(0, QColor(70, 110, 190));
    back.setColorAt(1, QColor(30, 50, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
    drawDisc(p, QRectF(s * 0.34, s * 0.3, s * 0.58, s * 0.58));
    drawPhoto(p, QRectF(s * 0.1, s * 0.16, s * 0.5, s * 0.42), QColor(150, 200, 250));
    return pixmap;
}

QPixmap drawAboutPicture() {
    QPixmap pixmap(420, 240);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, 240);
    back.setColorAt(0, QColor(44, 70, 130));
    back.setColorAt(1, QColor(18, 28, 60));
    p.fillRect(pixmap.rect(), back);
    p.drawPixmap(28, 56, drawApplicationIcon(128));
    QFont title;
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(176, 60, 230, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tellavine"));
    QFont body;
    body.setPixelSize(13);
    p.setFont(body);
    p.setPen(QColor(210, 222, 245));
    p.drawText(QRect(178, 108, 230, 80), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QCoreApplication::translate("Tellavine", "Version %1.%2 (build %3)\nPhoto albums on Video CD,\nready for any DVD or VCD player.")
                   .arg(kProgramRelease / 100)
                   .arg(kProgramRelease % 100)
                   .arg(kProgramBuild));
    p.setPen(QColor(150, 165, 200));
    p.drawText(QRect(0, 212, 420, 20), Qt::AlignCenter, QCoreApplication::translate("Tellavine", "Click to close"));
    return pixmap;
}

}  // namespace tellavine::ui
