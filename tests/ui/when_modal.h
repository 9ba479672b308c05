#pragma once
// Answers a modal dialog that exec() is about to show: `act` runs on the dialog once
// it is the active modal widget (the caller of exec() is blocked until then).

#include <QApplication>
#include <QWidget>
#include <QTimer>

#include <functional>

namespace tellavine::testing {

template <class Dialog>
void whenModal(std::function<void(Dialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        // On a busy machine the offscreen platform may not have activated the dialog yet.
        if (!dialog) {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* shown = qobject_cast<Dialog*>(widget);
                if (shown && shown->isVisible() && shown->isModal()) dialog = shown;
            }
        }
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

}  // namespace tellavine::testing
