#pragma once
// Numbered messages from worker threads as Qt events. The event type is the message
// number (every number is at least 1024, inside Qt's user range), so a window handles
// them in its event() like any other event.
//
// Threads: postMessage and sendMessage run on worker threads. The receiver holds its
// window behind a lock; the window calls release() before it goes, after which every
// message is dropped. A posted event still queued when its window is deleted is
// discarded by Qt; the event owns its message by value, so nothing is left to free.

#include "platform/message_target.h"

#include <QEvent>
#include <QObject>

#include <mutex>
#include <utility>

namespace tellavine::ui {

class NumberedMessageEvent : public QEvent {
public:
    explicit NumberedMessageEvent(Message message)
        : QEvent(static_cast<QEvent::Type>(message.id)), message(std::move(message)) {}

    const Message message;
};

class QtMessageReceiver : public MessageReceiver {
public:
    explicit QtMessageReceiver(QObject* window);

    void postMessage(Message message) override;
    MessageParam sendMessage(const Message& message) override;

    // Called by the window on the UI thread before it goes.
    void release();

private:
    std::mutex mutex_;
    QObject* window_;  // guarded by mutex_; null once released
};

}  // namespace tellavine::ui
