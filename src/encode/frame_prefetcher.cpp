#include "encode/frame_prefetcher.h"

#include <algorithm>

namespace tellavine {

FramePrefetcher::FramePrefetcher(std::vector<FrameOrder> orders) : FramePrefetcher(std::move(orders), {}, TvStandard::PAL) {}

FramePrefetcher::FramePrefetcher(std::vector<FrameOrder> orders, std::vector<MpegWorkerClient*> workers,
                                 StillFormat format)
    : orders_(std::move(orders)),
      workers_(std::move(workers)),
      format_(format),
      laneCount_(std::max<std::size_t>(workers_.size(), 1)),
      results_(orders_.size()) {
    // Consecutive orders of one slide share a lane; slides take turns.
    std::size_t slideNumber = 0;
    for (std::size_t i = 0; i < orders_.size(); ++i) {
        if (i > 0 && orders_[i].slide != orders_[i - 1].slide) ++slideNumber;
        laneOf_.push_back(slideNumber % laneCount_);
    }
    if (orders_.empty()) return;
    for (std::size_t lane = 0; lane < laneCount_; ++lane) lanes_.emplace_back(&FramePrefetcher::runLane, this, lane);
}

FramePrefetcher::~FramePrefetcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& lane : lanes_) lane.join();
}

PreparedFrame FramePrefetcher::prepare(std::size_t index, MpegWorkerClient* worker) const {
    PreparedFrame prepared;
    prepared.frame = composeSlideFrame(*orders_[index].slide, orders_[index].request);
    prepared.readable = prepared.frame.has_value();
    if (!prepared.readable || !worker) return prepared;
    PreparedStill still = prepareStill(stillPictureOf(*prepared.frame), format_);
    prepared.frame.reset();
    if (still.failure.empty()) prepared.reply = worker->run(still.request);
    still.request = {};
    prepared.still = std::move(still);
    return prepared;
}

void FramePrefetcher::runLane(std::size_t lane) {
    MpegWorkerClient* worker = workers_.empty() ? nullptr : workers_[lane];
    for (std::size_t index = 0; index < orders_.size(); ++index) {
        if (laneOf_[index] != lane) continue;
        {
            // Order `index` starts once the consumer has taken all but the last
            // `laneCount_` orders before it: one order in work per lane.
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || index < taken_ + laneCount_; });
            if (stopping_) return;
        }
        auto prepared = prepare(index, worker);
        {
            std::lock_guard lock(mutex_);
            results_[index] = std::move(prepared);
        }
        changed_.notify_all();
    }
}

std::optional<PreparedFrame> FramePrefetcher::next() {
    std::unique_lock lock(mutex_);
    if (taken_ >= orders_.size()) return std::nullopt;
    changed_.wait(lock, [&] { return results_[taken_].has_value(); });
    std::optional<PreparedFrame> prepared = std::move(results_[taken_]);
    results_[taken_].reset();
    ++taken_;
    lock.unlock();
    changed_.notify_all();
    return prepared;
}

}  // namespace tellavine
