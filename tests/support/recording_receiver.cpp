#include "support/recording_receiver.h"

#include <algorithm>

namespace tellavine::testing {

std::size_t RecordingReceiver::keep(const ReceivedMessage& received) {
    std::lock_guard lock(mutex_);
    messages_.push_back(received);
    return messages_.size();
}

void RecordingReceiver::postMessage(unsigned message, MessageParam wParam, MessageParam lParam) {
    const ReceivedMessage received{message, wParam, lParam, false};
    const std::size_t total = keep(received);
    if (onMessage) onMessage(received, total);
}

MessageParam RecordingReceiver::sendMessage(unsigned message, MessageParam wParam, MessageParam lParam) {
    const ReceivedMessage received{message, wParam, lParam, true};
    const std::size_t total = keep(received);
    if (onMessage) onMessage(received, total);
    return answerSend ? answerSend(received) : 0;
}

std::vector<ReceivedMessage> RecordingReceiver::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<unsigned> RecordingReceiver::numbers() const {
    std::vector<unsigned> result;
    for (const auto& received : messages()) result.push_back(received.message);
    return result;
}

std::size_t RecordingReceiver::count(unsigned message) const {
    const auto all = numbers();
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), message));
}

}  // namespace tellavine::testing
