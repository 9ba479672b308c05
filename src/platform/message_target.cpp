#include "platform/message_target.h"

#include <utility>

namespace tellavine {

MessageTarget::MessageTarget() : state_(std::make_shared<State>()) {}

void MessageTarget::attach(std::shared_ptr<MessageReceiver> receiver) {
    std::lock_guard lock(state_->mutex);
    state_->receiver = std::move(receiver);
}

void MessageTarget::detach() {
    std::lock_guard lock(state_->mutex);
    state_->receiver = nullptr;
}

bool MessageTarget::attached() const {
    std::lock_guard lock(state_->mutex);
    return state_->receiver != nullptr;
}

std::shared_ptr<MessageReceiver> MessageTarget::receiver() const {
    std::lock_guard lock(state_->mutex);
    return state_->receiver;
}

void MessageTarget::post(Message message) const {
    if (auto current = receiver()) current->postMessage(std::move(message));
}

MessageParam MessageTarget::send(const Message& message) const {
    auto current = receiver();
    return current ? current->sendMessage(message) : 0;
}

}  // namespace tellavine
