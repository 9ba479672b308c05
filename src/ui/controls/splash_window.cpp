#include "ui/controls/splash_window.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

namespace tellavine::ui {
namespace {

bool splashEnabled = true;
QPointer<SplashWindow> shownSplash;

}  // namespace

SplashWindow::SplashWindow(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(picture) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(picture_.size() / picture_.devicePixelRatio());
    qApp->installEventFilter(this);
    QTimer::singleShot(500, this, &QWidget::close);
}

void SplashWindow::enable(bool enabled) {
    splashEnabled = enabled;
}

void SplashWindow::show(QWidget* parent, const QPixmap& picture) {
    if (!splashEnabled || shownSplash || picture.isNull()) return;
    auto* splash = new SplashWindow(picture);
    const QRect area = parent ? parent->frameGeometry() : QRect();
    if (area.isValid()) splash->move(area.center() - splash->rect().center());
    shownSplash = splash;
    splash->QWidget::show();
}

bool SplashWindow::visible() {
    return shownSplash && shownSplash->isVisible();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

bool SplashWindow::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        close();
        return true;
    default:
        return false;
    }
}

}  // namespace tellavine::ui
