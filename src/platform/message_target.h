#pragma once
// Numbered messages from worker threads to the window that started them.
//
// Threads: any thread may post or send. A MessageTarget is a shared handle; the window
// attaches its receiver while it is open and detaches it when it closes. Posts after
// that are dropped, so a worker that outlives its window stays harmless. The receiver
// is called outside the target's lock (a send may block on the receiving thread, which
// may itself be detaching), and is kept alive by the call in flight; a receiver must
// therefore tolerate a call that started just before its window went away.

#include "platform/numbered_messages.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace tellavine {

using MessageParam = std::intptr_t;

// Implemented by the front end (a Qt window queues an event; the CLI prints progress).
class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    // Queues the message for the receiving thread; must not block.
    virtual void postMessage(unsigned message, MessageParam wParam, MessageParam lParam) = 0;
    // Delivers the message and waits for the receiver's answer.
    virtual MessageParam sendMessage(unsigned message, MessageParam wParam, MessageParam lParam) = 0;
};

class MessageTarget {
public:
    MessageTarget();  // detached: every message is dropped until attach()

    void attach(std::shared_ptr<MessageReceiver> receiver);
    void detach();
    bool attached() const;

    void post(unsigned message, MessageParam wParam = 0, MessageParam lParam = 0) const;
    // The receiver's answer, or 0 when no receiver is attached.
    MessageParam send(unsigned message, MessageParam wParam = 0, MessageParam lParam = 0) const;

private:
    std::shared_ptr<MessageReceiver> receiver() const;

    struct State {
        std::mutex mutex;
        std::shared_ptr<MessageReceiver> receiver;  // guarded by mutex
    };
    std::shared_ptr<State> state_;
};

}  // namespace tellavine
