#include "ui/pages/numbered_message.h"

#include <QCoreApplication>
#include <QThread>

namespace tellavine::ui {

QtMessageReceiver::QtMessageReceiver(QObject* window) : window_(window) {}

void QtMessageReceiver::postMessage(Message message) {
    std::lock_guard lock(mutex_);
    if (!window_) return;
    QCoreApplication::postEvent(window_, new NumberedMessageEvent(std::move(message)));
}

MessageParam QtMessageReceiver::sendMessage(const Message& message) {
    QObject* window = nullptr;
    {
        std::lock_guard lock(mutex_);
        window = window_;
    }
    if (!window) return 0;
    // The answer comes back through the event's acceptance: accepted = 1.
    bool accepted = false;
    // Runs on the UI thread, where the window is deleted, so it stays alive during the
    // call once it is seen here; the lock is not held while the window handles it.
    auto deliver = [&] {
        QObject* current = nullptr;
        {
            std::lock_guard lock(mutex_);
            current = window_;
        }
        if (!current) return;
        NumberedMessageEvent event(message);
        event.setAccepted(false);
        QCoreApplication::sendEvent(current, &event);
        accepted = event.isAccepted();
    };
    if (QThread::currentThread() == window->thread()) {
        deliver();
    } else {
        QMetaObject::invokeMethod(window, deliver, Qt::BlockingQueuedConnection);
    }
    return accepted ? 1 : 0;
}

void QtMessageReceiver::release() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
}

}  // namespace tellavine::ui
