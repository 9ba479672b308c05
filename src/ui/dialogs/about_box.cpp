#include "ui/dialogs/about_box.h"

#include "ui/app/artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace tellavine::ui {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), picture_(drawAboutPicture()) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About Tellavine"));
    setFixedSize(picture_.size() / picture_.devicePixelRatio());
    if (parent) move(parent->frameGeometry().center() - rect().center());
}

void AboutBox::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) accept();
}

}  // namespace tellavine::ui
