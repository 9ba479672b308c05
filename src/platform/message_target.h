#pragma once
// Numbered messages from worker threads to the window that started them.
//
// Threads: any thread may post or send. A MessageTarget is a shared handle; the window
// attaches its receiver while it is open and detaches it when it closes. Posts after
// that are dropped, so a worker that outlives its window stays harmless. The receiver
// is called outside the target's lock (a send may block on the receiving thread, which
// may itself be detaching), and is kept alive by the call in flight; a receiver must
// therefore tolerate a call that started just before its window went away.
//
// A message is a value: whatever it carries (WM_BURN_ERROR's text) is copied with it, so
// a message dropped on the way, by a detached target or a window already gone, leaves
// nothing behind to free.

#include "platform/numbered_messages.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace tellavine {

using MessageParam = std::intptr_t;

struct Message {
    NumberedMessage id;
    MessageParam wParam = 0;
    MessageParam lParam = 0;
    std::string text;  // WM_BURN_ERROR: what failed; empty for the others
};

// Implemented by the front end (a Qt window queues an event; the CLI prints progress).
class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    // Queues the message for the receiving thread; must not block.
    virtual void postMessage(Message message) = 0;
    // Delivers the message and waits for the receiver's answer.
    virtual MessageParam sendMessage(const Message& message) = 0;
};

class MessageTarget {
public:
    MessageTarget();  // detached: every message is dropped until attach()

    void attach(std::shared_ptr<MessageReceiver> receiver);
    void detach();
    bool attached() const;

    void post(Message message) const;
    void post(NumberedMessage id, MessageParam wParam = 0, MessageParam lParam = 0) const {
        post(Message{id, wParam, lParam, {}});
    }
    // The receiver's answer, or 0 when no receiver is attached.
    MessageParam send(const Message& message) const;
    MessageParam send(NumberedMessage id, MessageParam wParam = 0, MessageParam lParam = 0) const {
        return send(Message{id, wParam, lParam, {}});
    }

private:
    std::shared_ptr<MessageReceiver> receiver() const;

    struct State {
        std::mutex mutex;
        std::shared_ptr<MessageReceiver> receiver;  // guarded by mutex
    };
    std::shared_ptr<State> state_;
};

}  // namespace tellavine
