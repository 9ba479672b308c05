#pragma once
// A MessageReceiver that keeps every message it is given, posted or sent, in order, for
// checking what a worker reported. A test may watch each message as it arrives (to act
// at a given point of a run) and choose what a sent message answers.

#include "platform/message_target.h"

#include <functional>
#include <mutex>
#include <vector>

namespace tellavine::testing {

struct ReceivedMessage {
    unsigned message = 0;
    MessageParam wParam = 0;
    MessageParam lParam = 0;
    bool sent = false;  // delivered by send (waiting for an answer), not post
};

class RecordingReceiver : public MessageReceiver {
public:
    void postMessage(unsigned message, MessageParam wParam, MessageParam lParam) override;
    MessageParam sendMessage(unsigned message, MessageParam wParam, MessageParam lParam) override;

    std::vector<ReceivedMessage> messages() const;
    // The message numbers alone, in order.
    std::vector<unsigned> numbers() const;
    std::size_t count(unsigned message) const;

    // Called on the worker's thread after each message is kept, with how many there are
    // now; set before the run starts.
    std::function<void(const ReceivedMessage&, std::size_t received)> onMessage;
    // The answer to a sent message (0 when unset); set before the run starts.
    std::function<MessageParam(const ReceivedMessage&)> answerSend;

private:
    std::size_t keep(const ReceivedMessage& received);

    mutable std::mutex mutex_;
    std::vector<ReceivedMessage> messages_;  // guarded by mutex_
};

}  // namespace tellavine::testing
