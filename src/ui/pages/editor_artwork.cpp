#include "ui/pages/editor_artwork.h"

#include <QLinearGradient>
#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace tellavine::ui {
namespace {

const QColor kInk(45, 62, 96);
const QColor kGo(46, 150, 70);
const QColor kStop(200, 56, 48);
const QColor kAccent(52, 120, 200);

// A small photo: white frame, sky and a hill.
void drawPhoto(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, r.width() / 16));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, r.width() / 12, r.width() / 12);
    const QRectF inner = r.adjusted(r.width() * 0.12, r.height() * 0.12, -r.width() * 0.12, -r.height() * 0.12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(130, 190, 240));
    p.drawRect(inner);
    QPainterPath hill;
    hill.moveTo(inner.bottomLeft());
    hill.lineTo(inner.left() + inner.width() * 0.4, inner.top() + inner.height() * 0.45);
    hill.lineTo(inner.left() + inner.width() * 0.7, inner.top() + inner.height() * 0.7);
    hill.lineTo(inner.bottomRight());
    hill.closeSubpath();
    p.setBrush(QColor(70, 150, 80));
    p.drawPath(hill);
}

// A photo album: a bound book with a photo on its cover.
void drawAlbum(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, r.width() / 16));
    QLinearGradient cover(r.topLeft(), r.bottomRight());
    cover.setColorAt(0, QColor(120, 160, 220));
    cover.setColorAt(1, QColor(50, 90, 160));
    p.setBrush(cover);
    p.drawRoundedRect(r, r.width() / 10, r.width() / 10);
    p.setBrush(QColor(230, 236, 246));
    p.drawRect(QRectF(r.left(), r.top(), r.width() * 0.14, r.height()));
    drawPhoto(p, QRectF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.22, r.width() * 0.58, r.height() * 0.46));
}

// A round badge with a plus, a cross or an "i" in the lower right corner.
void drawBadge(QPainter& p, const QRectF& area, const QColor& colour, QChar sign) {
    const qreal d = area.width() * 0.46;
    const QRectF badge(area.right() - d, area.bottom() - d, d, d);
    p.setPen(QPen(Qt::white, area.width() / 24));
    p.setBrush(colour);
    p.drawEllipse(badge);
    QPen mark(Qt::white, d / 5.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(mark);
    const QPointF c = badge.center();
    const qreal a = d * 0.24;
    if (sign == '+') {
        p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
    } else if (sign == 'x') {
        p.drawLine(QPointF(c.x() - a, c.y() - a), QPointF(c.x() + a, c.y() + a));
        p.drawLine(QPointF(c.x() - a, c.y() + a), QPointF(c.x() + a, c.y() - a));
    } else {
        p.drawPoint(QPointF(c.x(), c.y() - a));
        p.drawLine(QPointF(c.x(), c.y() - a * 0.1), QPointF(c.x(), c.y() + a));
    }
}

void drawTurnArrow(QPainter& p, const QRectF& r, bool clockwise) {
    const QRectF ring = r.adjusted(r.width() * 0.18, r.height() * 0.18, -r.width() * 0.18, -r.height() * 0.18);
    p.setPen(QPen(kAccent, r.width() / 9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const int start = clockwise ? 120 * 16 : 60 * 16;
    const int span = clockwise ? -270 * 16 : 270 * 16;
    p.drawArc(ring, start, span);
    // The arrow head at the arc's end.
    const double end = (start + span) / 16.0 * M_PI / 180.0;
    const QPointF tip(ring.center().x() + ring.width() / 2 * std::cos(end), ring.center().y() - ring.height() / 2 * std::sin(end));
    const double along = end + (clockwise ? -M_PI / 2 : M_PI / 2);  // direction of travel
    const QPointF dir(std::cos(along), -std::sin(along));
    const QPointF side(-dir.y(), dir.x());
    const qreal h = r.width() * 0.2;
    QPolygonF head{tip + dir * h, tip + side * h * 0.6, tip - side * h * 0.6};
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(head);
}

void drawNote(QPainter& p, const QRectF& r, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal w = r.width();
    p.drawEllipse(QRectF(r.left() + w * 0.08, r.top() + w * 0.62, w * 0.32, w * 0.26));
    p.drawEllipse(QRectF(r.left() + w * 0.56, r.top() + w * 0.52, w * 0.32, w * 0.26));
    p.setPen(QPen(colour, w / 12));
    p.drawLine(QPointF(r.left() + w * 0.37, r.top() + w * 0.74), QPointF(r.left() + w * 0.37, r.top() + w * 0.14));
    p.drawLine(QPointF(r.left() + w * 0.85, r.top() + w * 0.64), QPointF(r.left() + w * 0.85, r.top() + w * 0.04));
    p.setPen(QPen(colour, w / 7));
    p.drawLine(QPointF(r.left() + w * 0.37, r.top() + w * 0.17), QPointF(r.left() + w * 0.85, r.top() + w * 0.07));
}

}  // namespace

QPixmap drawEditorButtonFace(EditorArtwork picture, int size) {
    QPixmap face(size, size);
    face.fill(Qt::transparent);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(size * 0.08, size * 0.08, size * 0.84, size * 0.84);
    const QRectF body(r.left(), r.top() + r.height() * 0.08, r.width() * 0.8, r.height() * 0.72);
    switch (picture) {
        case EditorArtwork::NewAlbum:
            drawAlbum(p, body);
            drawBadge(p, r, kGo, '+');
            break;
        case EditorArtwork::DeleteAlbum:
            drawAlbum(p, body);
            drawBadge(p, r, kStop, 'x');
            break;
        case EditorArtwork::AlbumProperties:
            drawAlbum(p, body);
            drawBadge(p, r, kAccent, 'i');
            break;
        case EditorArtwork::AddPictures:
            drawPhoto(p, body);
            drawBadge(p, r, kGo, '+');
            break;
        case EditorArtwork::DeletePictures:
            drawPhoto(p, body);
            drawBadge(p, r, kStop, 'x');
            break;
        case EditorArtwork::RotateClockwise:
        case EditorArtwork::RotateCounterClockwise:
            drawPhoto(p, r.adjusted(r.width() * 0.3, r.height() * 0.3, -r.width() * 0.3, -r.height() * 0.3));
            drawTurnArrow(p, r, picture == EditorArtwork::RotateClockwise);
            break;
        case EditorArtwork::ViewPicture: {
            drawPhoto(p, body);
            const QRectF lens(r.left() + r.width() * 0.42, r.top() + r.height() * 0.4, r.width() * 0.38, r.width() * 0.38);
            p.setPen(QPen(kInk, r.width() / 10, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(lens.center() + QPointF(lens.width() * 0.35, lens.height() * 0.35), r.bottomRight());
            p.setPen(QPen(kInk, r.width() / 16));
            p.setBrush(QColor(255, 255, 255, 170));
            p.drawEllipse(lens);
            break;
        }
        case EditorArtwork::AlbumMusic:
            drawNote(p, r, kAccent);
            break;
    }
    return face;
}

QPixmap drawMusicNote(int size) {
    QPixmap note(size, size);
    note.fill(Qt::transparent);
    QPainter p(&note);
    p.setRenderHint(QPainter::Antialiasing);
    drawNote(p, QRectF(0, 0, size, size), QColor(200, 90, 30));
    return note;
}

QPixmap drawThumbnailPlaceholder(int width, int height) {
    QPixmap placeholder(width, height);
    placeholder.fill(QColor(236, 238, 242));
    QPainter p(&placeholder);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(200, 204, 212));
    p.drawRect(0, 0, width - 1, height - 1);
    const qreal side = std::min(width, height) * 0.5;
    p.setOpacity(0.35);
    drawPhoto(p, QRectF((width - side * 1.2) / 2, (height - side) / 2, side * 1.2, side));
    return placeholder;
}

}  // namespace tellavine::ui
