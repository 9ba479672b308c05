#include "audio/playback_queue.h"

#include <chrono>

namespace tellavine::audio {

bool PlaybackQueue::push(PlaybackBlock block, const Event& stop) {
    std::unique_lock lock(mutex_);
    while (blocks_.size() >= kMaxQueuedBlocks) {
        if (stop.isSet()) return false;
        // The stop event has no link to this condition: look at it again now and then.
        roomMade_.wait_for(lock, std::chrono::milliseconds(100));
    }
    if (stop.isSet()) return false;
    blocks_.push_back(std::move(block));
    return true;
}

std::optional<PlaybackBlock> PlaybackQueue::take() {
    std::optional<PlaybackBlock> block;
    {
        std::lock_guard lock(mutex_);
        if (blocks_.empty()) return std::nullopt;
        block = std::move(blocks_.front());
        blocks_.pop_front();
    }
    roomMade_.notify_all();
    return block;
}

void PlaybackQueue::clear() {
    {
        std::lock_guard lock(mutex_);
        blocks_.clear();
    }
    roomMade_.notify_all();
}

std::size_t PlaybackQueue::size() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
}

}  // namespace tellavine::audio
