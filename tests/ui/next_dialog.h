#pragma once
// Answers a modal dialog the code under test opens: acts on the next modal dialog of
// type T as soon as its event loop runs.

#include <QApplication>
#include <QTimer>

#include <functional>

template <typename T>
void onNextDialog(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}
