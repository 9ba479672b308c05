#include "ui/app/tv_artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tellavine::ui {
namespace {

QPixmap canvas(int width, int height, qreal pixelRatio) {
    QPixmap pixmap(qRound(width * pixelRatio), qRound(height * pixelRatio));
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawSpeakerGrille(QPainter& p, const QRectF& area) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 32, 38));
    for (qreal y = area.top(); y < area.bottom(); y += 6) {
        for (qreal x = area.left(); x < area.right(); x += 6) p.drawEllipse(QPointF(x, y), 1.4, 1.4);
    }
}

// A rounded key with a soft top light.
void drawKeyBody(QPainter& p, const QRectF& r, const QColor& base) {
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, base.lighter(150));
    body.setColorAt(0.5, base);
    body.setColorAt(1, base.darker(140));
    p.setPen(QPen(base.darker(220), 1));
    p.setBrush(body);
    p.drawRoundedRect(r, r.height() * 0.35, r.height() * 0.35);
}

}  // namespace

QPixmap drawTelevision(qreal pixelRatio) {
    QPixmap pixmap = canvas(kTelevisionWidth, kTelevisionHeight, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // Stand and foot under the cabinet.
    p.setPen(Qt::NoPen);
    QLinearGradient stand(0, 395, 0, 425);
    stand.setColorAt(0, QColor(70, 72, 80));
    stand.setColorAt(1, QColor(30, 31, 36));
    p.setBrush(stand);
    QPainterPath neck;
    neck.moveTo(226, 392);
    neck.lineTo(287, 392);
    neck.lineTo(300, 414);
    neck.lineTo(213, 414);
    neck.closeSubpath();
    p.drawPath(neck);
    p.drawRoundedRect(QRectF(160, 412, 193, 12), 5, 5);

    // Cabinet: a dark bezel with a light edge.
    const QRectF cabinet(1, 1, 511, 393);
    QLinearGradient shell(cabinet.topLeft(), cabinet.bottomLeft());
    shell.setColorAt(0, QColor(88, 92, 104));
    shell.setColorAt(0.08, QColor(52, 55, 64));
    shell.setColorAt(1, QColor(28, 29, 34));
    p.setPen(QPen(QColor(18, 18, 22), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(cabinet, 18, 18);
    p.setPen(QPen(QColor(130, 136, 150, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(cabinet.adjusted(3, 3, -3, -3), 15, 15);

    // The screen's recess around the picture (25, 23, 460 x 345).
    const QRectF screen(25, 23, 460, 345);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 10, 12));
    p.drawRoundedRect(screen.adjusted(-7, -7, 7, 7), 8, 8);
    p.setBrush(QColor(0, 0, 0));
    p.drawRect(screen);

    // Bottom strip: brand plate, power light and grilles.
    drawSpeakerGrille(p, QRectF(40, 378, 150, 10));
    drawSpeakerGrille(p, QRectF(325, 378, 150, 10));
    p.setPen(QColor(190, 196, 210));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(font);
    p.drawText(QRectF(200, 375, 113, 14), Qt::AlignCenter, QStringLiteral("TELLAVINE"));
    QRadialGradient led(QPointF(490, 383), 4);
    led.setColorAt(0, QColor(140, 255, 150));
    led.setColorAt(1, QColor(20, 140, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(led);
    p.drawEllipse(QPointF(490, 383), 3, 3);
    return pixmap;
}

QPixmap drawRemoteFace(qreal pixelRatio) {
    QPixmap pixmap = canvas(kRemoteFaceWidth, kRemoteFaceHeight, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(8, 4, 126, 400);
    QLinearGradient shell(body.topLeft(), body.topRight());
    shell.setColorAt(0, QColor(58, 62, 74));
    shell.setColorAt(0.45, QColor(92, 98, 114));
    shell.setColorAt(1, QColor(40, 43, 52));
    p.setPen(QPen(QColor(20, 22, 28), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(body, 24, 24);

    // Infrared window and the power light at the top.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 10, 20));
    p.drawRoundedRect(QRectF(46, 9, 50, 8), 4, 4);
    p.setBrush(QColor(225, 60, 50));
    p.drawEllipse(QPointF(71, 30), 5, 5);

    // Panels behind the number keys and the transport keys.
    p.setBrush(QColor(32, 35, 42));
    p.drawRoundedRect(QRectF(12, 43, 118, 124), 10, 10);
    p.drawRoundedRect(QRectF(15, 175, 112, 78), 10, 10);

    // Labels under the transport rows, and the maker's name at the foot.
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    p.setFont(small);
    p.setPen(QColor(200, 205, 215));
    p.drawText(QRectF(15, 208, 56, 10), Qt::AlignCenter, QStringLiteral("PLAY"));
    p.drawText(QRectF(71, 208, 56, 10), Qt::AlignCenter, QStringLiteral("STOP"));
    p.drawText(QRectF(15, 248, 56, 10), Qt::AlignCenter, QStringLiteral("PREV"));
    p.drawText(QRectF(71, 248, 56, 10), Qt::AlignCenter, QStringLiteral("NEXT"));
    // A soft pad of decorative buttons below, as on a real remote.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            p.setBrush(QColor(70, 75, 88));
            p.setPen(QPen(QColor(30, 32, 40), 1));
            p.drawEllipse(QPointF(38 + column * 33, 285 + row * 26), 8, 8);
        }
    }
    QFont brand(QStringLiteral("DejaVu Sans"));
    brand.setPixelSize(10);
    brand.setBold(true);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(brand);
    p.setPen(QColor(215, 220, 230));
    p.drawText(QRectF(8, 362, 126, 16), Qt::AlignCenter, QStringLiteral("TELLAVINE"));
    return pixmap;
}

QPixmap drawNumberKey(int number, qreal pixelRatio) {
    QPixmap pixmap = canvas(33, 29, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawKeyBody(p, QRectF(2.5, 2.5, 28, 24), QColor(150, 158, 176));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(25, 28, 36));
    p.drawText(QRectF(2.5, 2.5, 28, 24), Qt::AlignCenter, QString::number(number));
    return pixmap;
}

QPixmap drawRemoteKey(RemoteKey key, qreal pixelRatio) {
    QPixmap pixmap = canvas(48, 30, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(60, 160, 80), QColor(200, 60, 55), QColor(70, 120, 200), QColor(70, 120, 200)};
    const QRectF body(3, 3, 42, 24);
    drawKeyBody(p, body, colours[static_cast<int>(key)]);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QPointF c = body.center();
    auto triangle = [&](qreal x, bool right) {
        QPainterPath path;
        const qreal dx = right ? 7 : -7;
        path.moveTo(x - dx / 2, c.y() - 6);
        path.lineTo(x + dx / 2 + (right ? 1 : -1), c.y());
        path.lineTo(x - dx / 2, c.y() + 6);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (key) {
        case RemoteKey::Start: triangle(c.x(), true); break;
        case RemoteKey::Stop: p.drawRect(QRectF(c.x() - 5.5, c.y() - 5.5, 11, 11)); break;
        case RemoteKey::PreviousMenu:
            triangle(c.x() - 3, false);
            triangle(c.x() + 4, false);
            break;
        case RemoteKey::NextMenu:
            triangle(c.x() - 4, true);
            triangle(c.x() + 3, true);
            break;
    }
    return pixmap;
}

QPixmap drawPlayerFace(qreal pixelRatio) {
    QPixmap pixmap = canvas(kPlayerWidth, kPlayerHeight, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, kPlayerWidth - 1, kPlayerHeight - 1);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(74, 84, 104));
    shell.setColorAt(0.5, QColor(40, 46, 60));
    shell.setColorAt(1, QColor(24, 27, 36));
    p.setPen(QPen(QColor(12, 14, 20), 1));
    p.setBrush(shell);
    p.drawRoundedRect(body, 8, 8);
    // The display: title and time on a dark glass panel.
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.setBrush(QColor(8, 12, 18));
    p.drawRoundedRect(QRectF(9.5, 14.5, 221, 42), 4, 4);
    // A grip in the top-left corner says the window can be dragged.
    p.setPen(QPen(QColor(140, 150, 170), 1));
    for (int i = 0; i < 3; ++i) p.drawLine(QPointF(8 + i * 3, 8.5), QPointF(14 + i * 3, 2.5));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(170, 180, 200));
    p.drawText(QRectF(22, 1, 150, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TELLAVINE PLAYER"));
    return pixmap;
}

QPixmap drawPlayerKey(PlayerKey key, qreal pixelRatio) {
    const bool close = key == PlayerKey::Close;
    QPixmap pixmap = canvas(close ? 7 : 20, close ? 7 : 16, pixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (close) {
        p.setPen(QPen(QColor(230, 235, 245), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(1, 1), QPointF(6, 6));
        p.drawLine(QPointF(6, 1), QPointF(1, 6));
        return pixmap;
    }
    drawKeyBody(p, QRectF(0.5, 0.5, 19, 15), QColor(96, 108, 132));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    if (key == PlayerKey::Play) {
        QPainterPath path;
        path.moveTo(7.5, 4);
        path.lineTo(13.5, 8);
        path.lineTo(7.5, 12);
        path.closeSubpath();
        p.drawPath(path);
    } else {
        p.drawRect(QRectF(6.5, 4.5, 7, 7));
    }
    return pixmap;
}

}  // namespace tellavine::ui
