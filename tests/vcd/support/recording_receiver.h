#pragma once
// A MessageReceiver that keeps every posted message number, for checking what a worker
// reported.

#include "platform/message_target.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace tellavine::vcd::testing {

class RecordingReceiver : public MessageReceiver {
public:
    void postMessage(unsigned message, MessageParam, MessageParam) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }
    MessageParam sendMessage(unsigned message, MessageParam w, MessageParam l) override {
        postMessage(message, w, l);
        return 0;
    }
    std::vector<unsigned> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::size_t count(unsigned message) const {
        const auto all = messages();
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), message));
    }

private:
    mutable std::mutex mutex_;
    std::vector<unsigned> messages_;
};

}  // namespace tellavine::vcd::testing
