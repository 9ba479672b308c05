#pragma once
// A MessageReceiver that keeps every message it is given, posted or sent, in order, for
// checking what a worker reported. A test may watch each message as it arrives (to act
// at a given point of a run) and choose what a sent message answers; set both before the
// run starts. Both are called on the worker's thread, outside the receiver's lock.

#include "platform/message_target.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace tellavine::testing {

struct ReceivedMessage : Message {
    bool sent = false;  // delivered by send (waiting for an answer), not post
};

class RecordingReceiver : public MessageReceiver {
public:
    void postMessage(Message message) override { keep({std::move(message), false}); }
    MessageParam sendMessage(const Message& message) override {
        const ReceivedMessage received{message, true};
        keep(received);
        return answerSend ? answerSend(received) : 0;
    }
    std::vector<ReceivedMessage> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<unsigned> numbers() const {
        std::vector<unsigned> result;
        for (const auto& received : messages()) result.push_back(received.id);
        return result;
    }
    std::size_t count(unsigned message) const {
        const auto all = numbers();
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), message));
    }

    std::function<void(const ReceivedMessage&, std::size_t receivedSoFar)> onMessage;
    std::function<MessageParam(const ReceivedMessage&)> answerSend;  // 0 when unset

private:
    void keep(const ReceivedMessage& received) {
        std::size_t total;
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(received);
            total = messages_.size();
        }
        if (onMessage) onMessage(received, total);
    }

    mutable std::mutex mutex_;
    std::vector<ReceivedMessage> messages_;  // guarded by mutex_
};

}  // namespace tellavine::testing
