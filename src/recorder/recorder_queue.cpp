#include "recorder/recorder_queue.h"

namespace tellavine {

bool RecorderQueue::push(RecorderBlockPtr block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return consumerClosed_ || blocks_.size() < bound_; });
    if (consumerClosed_) return false;
    blocks_.push_back(std::move(block));
    lock.unlock();
    changed_.notify_all();
    return true;
}

RecorderBlockPtr RecorderQueue::pop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return !blocks_.empty(); })) return nullptr;
    RecorderBlockPtr block = std::move(blocks_.front());
    blocks_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return block;
}

std::size_t RecorderQueue::size() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
}

void RecorderQueue::closeConsumer() {
    {
        std::lock_guard lock(mutex_);
        consumerClosed_ = true;
        blocks_.clear();
    }
    changed_.notify_all();
}

bool RecorderQueue::consumerClosed() const {
    std::lock_guard lock(mutex_);
    return consumerClosed_;
}

void RecorderQueue::reset() {
    std::lock_guard lock(mutex_);
    blocks_.clear();
    consumerClosed_ = false;
}

}  // namespace tellavine
