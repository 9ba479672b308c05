#include "encode/frame_prefetcher.h"

namespace tellavine {

FramePrefetcher::FramePrefetcher(std::vector<FrameOrder> orders) : orders_(std::move(orders)) {
    if (!orders_.empty()) thread_ = std::thread(&FramePrefetcher::composeAll, this);
}

FramePrefetcher::~FramePrefetcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void FramePrefetcher::composeAll() {
    for (std::size_t index = 0; index < orders_.size(); ++index) {
        {
            // Order `index` starts once the consumer holds order index - 1: one in work,
            // one composing.
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || taken_ >= index; });
            if (stopping_) return;
        }
        auto frame = composeSlideFrame(*orders_[index].slide, orders_[index].request);
        {
            std::lock_guard lock(mutex_);
            ready_.push_back(std::move(frame));
        }
        changed_.notify_all();
    }
}

std::optional<StillFrame> FramePrefetcher::next() {
    std::unique_lock lock(mutex_);
    if (taken_ >= orders_.size()) return std::nullopt;
    changed_.wait(lock, [&] { return !ready_.empty(); });
    auto frame = std::move(ready_.front());
    ready_.pop_front();
    ++taken_;
    lock.unlock();
    changed_.notify_all();
    return frame;
}

}  // namespace tellavine
