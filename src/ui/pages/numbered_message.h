#pragma once
// Numbered messages from worker threads as Qt events. The event type is the message
// number (every number is at least 1024, inside Qt's user range), so a window handles
// them in its event() like any other event.
//
// Threads: postMessage and sendMessage run on worker threads. The receiver holds its
// window behind a lock; the window calls release() before it goes, after which every
// message is dropped. A posted event still queued when its window is deleted is
// discarded by Qt, so nothing a message carries may need freeing: texts are taken
// out of their buffers on the worker's side.

#include "platform/message_target.h"

#include <QEvent>
#include <QObject>

#include <functional>
#include <mutex>
#include <string>

namespace tellavine::ui {

class NumberedMessageEvent : public QEvent {
public:
    NumberedMessageEvent(unsigned message, MessageParam wParam, MessageParam lParam, std::string text = {})
        : QEvent(static_cast<QEvent::Type>(message)), wParam(wParam), lParam(lParam), text(std::move(text)) {}

    unsigned message() const { return static_cast<unsigned>(type()); }
    const MessageParam wParam;
    const MessageParam lParam;
    const std::string text;  // the text a message carried by pointer, already copied
};

// Turns a message's pointer parameter into its text on the posting thread (and frees
// the sender's buffer). Messages without text return nothing.
using MessageTextTaker = std::function<bool(unsigned message, MessageParam wParam, std::string& text)>;

class QtMessageReceiver : public MessageReceiver {
public:
    explicit QtMessageReceiver(QObject* window, MessageTextTaker takeText = {});

    void postMessage(unsigned message, MessageParam wParam, MessageParam lParam) override;
    MessageParam sendMessage(unsigned message, MessageParam wParam, MessageParam lParam) override;

    // Called by the window on the UI thread before it goes.
    void release();

private:
    std::mutex mutex_;
    QObject* window_;  // guarded by mutex_; null once released
    MessageTextTaker takeText_;
};

}  // namespace tellavine::ui
