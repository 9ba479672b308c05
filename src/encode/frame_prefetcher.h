#pragma once
// Composes the stills of a stage one step ahead on a thread of its own, so the next
// photo is decoded and composed while the MPEG worker encodes the current one. Frames
// come back strictly in the order of the requests; the caller does everything else
// (log lines, messages, progress, encoding) on its own thread, in its own order.
//
// At most one frame waits beside the one in work, so memory does not grow with the
// album. Destroying the prefetcher stops it after the frame in work, if any.
//
// Threads: one consumer thread calls next(). Composition writes only to the slide it
// composes (an anchored caption's position), which the consumer leaves alone until
// next() has returned that slide's frame.

#include "compose/slide_frame.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tellavine {

struct FrameOrder {
    Slide* slide = nullptr;
    SlideFrameRequest request;
};

class FramePrefetcher {
public:
    explicit FramePrefetcher(std::vector<FrameOrder> orders);
    ~FramePrefetcher();
    FramePrefetcher(const FramePrefetcher&) = delete;
    FramePrefetcher& operator=(const FramePrefetcher&) = delete;

    // The frame of the next order (nothing when its photo cannot be read), waiting for
    // it if need be; the one after it starts composing at once. Calling it more often
    // than there are orders gives nothing.
    std::optional<StillFrame> next();

private:
    void composeAll();

    const std::vector<FrameOrder> orders_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::optional<StillFrame>> ready_;  // guarded by mutex_
    std::size_t taken_ = 0;                          // guarded by mutex_
    bool stopping_ = false;                          // guarded by mutex_
    std::thread thread_;
};

}  // namespace tellavine
