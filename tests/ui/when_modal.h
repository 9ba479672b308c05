#pragma once
// Answers a modal dialog that exec() is about to show: `act` runs on the dialog once
// it is the active modal widget (the caller of exec() is blocked until then).

#include <QApplication>
#include <QTimer>

#include <functional>

namespace tellavine::testing {

template <class Dialog>
void whenModal(std::function<void(Dialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

}  // namespace tellavine::testing
