#pragma once
// The bounded queue of recorder blocks between the build thread (producer) and the
// recorder feed thread (consumer). One mutex guards the list and the closed flag; it is
// held only for a push, a pop or a count.
//
// A producer waits while `bound` blocks are queued. When the consumer has ended (write
// failure, cancel) it closes the queue: waiting producers wake up and further blocks are
// dropped, so the build thread can never hang on a recording that is gone.

#include "recorder/recorder_block.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace tellavine {

class RecorderQueue {
public:
    static constexpr std::size_t kDefaultBound = 100;

    explicit RecorderQueue(std::size_t bound = kDefaultBound) : bound_(bound) {}

    // Waits while the queue is full; false (block dropped) once the consumer is gone.
    bool push(RecorderBlockPtr block);
    // The head block, waiting at most `timeout` for one; nullptr when none came.
    RecorderBlockPtr pop(std::chrono::milliseconds timeout);
    std::size_t size() const;
    // The consumer has ended: wake producers, drop what comes later.
    void closeConsumer();
    bool consumerClosed() const;
    // Forgets queued blocks and opens the queue for the next recording.
    void reset();

private:
    const std::size_t bound_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RecorderBlockPtr> blocks_;  // guarded by mutex_
    bool consumerClosed_ = false;          // guarded by mutex_
};

}  // namespace tellavine
