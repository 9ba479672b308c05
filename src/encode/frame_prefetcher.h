#pragma once
// Prepares the stills of a stage ahead on threads of their own (lanes), so photos are
// decoded, composed and encoded while the stage's thread writes and multiplexes the
// ones before. Results come back strictly in the order of the requests; the caller
// does everything the user or the disc sees (log lines, messages, progress, files) on
// its own thread, in its own order.
//
// Without workers one lane composes one frame ahead and the caller encodes it. With
// workers, lane n composes with them and has worker n encode the still as well; the
// orders of one slide stay in one lane, in order. Each lane works at most one order
// ahead of the caller, so memory does not grow with the album. Destroying the
// prefetcher stops the lanes after the orders in work.
//
// Threads: one consumer thread calls next(). A lane writes only to the slide it
// composes (an anchored caption's position), which the consumer leaves alone until
// next() has returned that slide's last order.

#include "compose/slide_frame.h"
#include "encode/mpeg_worker_client.h"
#include "encode/still_encoder.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tellavine {

struct FrameOrder {
    Slide* slide = nullptr;
    SlideFrameRequest request;
};

struct PreparedFrame {
    bool readable = false;             // false: the photo could not be read
    std::optional<StillFrame> frame;   // composed, to be encoded by the caller
    std::optional<PreparedStill> still;  // or encoded ahead: the checked request...
    mpegworker::Reply reply;             // ...and the worker's reply
};

class FramePrefetcher {
public:
    // One lane composing, no encoding.
    explicit FramePrefetcher(std::vector<FrameOrder> orders);
    // One lane per worker, each composing and encoding with its worker.
    FramePrefetcher(std::vector<FrameOrder> orders, std::vector<MpegWorkerClient*> workers, StillFormat format);
    ~FramePrefetcher();
    FramePrefetcher(const FramePrefetcher&) = delete;
    FramePrefetcher& operator=(const FramePrefetcher&) = delete;

    // The next order's result, waiting for it if need be; nothing once every order
    // has been taken.
    std::optional<PreparedFrame> next();

private:
    void runLane(std::size_t lane);
    PreparedFrame prepare(std::size_t index, MpegWorkerClient* worker) const;

    const std::vector<FrameOrder> orders_;
    const std::vector<MpegWorkerClient*> workers_;
    const StillFormat format_;
    const std::size_t laneCount_;
    std::vector<std::size_t> laneOf_;  // per order
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::optional<PreparedFrame>> results_;  // guarded by mutex_
    std::size_t taken_ = 0;                               // guarded by mutex_
    bool stopping_ = false;                               // guarded by mutex_
    std::vector<std::thread> lanes_;
};

}  // namespace tellavine
