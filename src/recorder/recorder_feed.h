#pragma once
// The recorder side of a build that burns instead of writing an image file. The image
// sink (on the build thread) describes the tracks, hands over every finished 2352-byte
// sector and closes the queue; this object builds the cue sheet, packs the sectors into
// blocks of 27 and runs the feed thread, which drives a BaseDriver through one
// disc-at-once recording and posts WM_BURN_* messages to the SinkOwner's window.
//
// Threads: beginCueSheet .. closeQueue are called by the build thread only, and own the
// cue sheet and the accumulation buffer. The feed thread owns the driver during the run.
// They meet only in the RecorderQueue. The SinkOwner and the driver must outlive the
// feed thread: wait() (or the destructor) joins it.

#include "platform/sink_owner.h"
#include "recorder/base_driver.h"
#include "recorder/mmc_cue_sheet.h"
#include "recorder/recorder_queue.h"

#include <atomic>
#include <span>
#include <string>
#include <thread>

namespace tellavine {

class RecorderFeed {
public:
    explicit RecorderFeed(std::size_t queueBound = RecorderQueue::kDefaultBound);
    ~RecorderFeed();
    RecorderFeed(const RecorderFeed&) = delete;
    RecorderFeed& operator=(const RecorderFeed&) = delete;

    // The cue sheet, entry by entry (addresses absolute: lsn + 150; track AAh is the
    // lead-out). False when the sheet is full.
    void beginCueSheet() { cueSheet_.begin(); }
    bool addCueEntry(int track, int index, std::int64_t absoluteAddress) { return cueSheet_.addEntry(track, index, absoluteAddress); }
    MmcCueSheet& cueSheet() { return cueSheet_; }

    // Readies the queue for one image; `rawSectors` as the driver takes them.
    void openQueue(bool rawSectors);
    // Starts the feed thread. A cue sheet that is incomplete or needs more than 300
    // entries is refused at once with WM_BURN_ERROR, before anything reaches the drive.
    bool start(SinkOwner& owner, BaseDriver& driver);
    // One finished 2352-byte sector of the image, in address order.
    void queueSector(std::span<const std::uint8_t> sector);
    // Queues what is left and the end marker.
    void closeQueue();
    // The image stopped early: the feed thread ends without finishing the disc and the
    // producer never waits again.
    void abandonQueue() { queue_.closeConsumer(); }
    // Waits for the feed thread; its result: 0 done, -1 failed or cancelled.
    int wait();
    bool running() const { return thread_.joinable(); }
    std::size_t queuedBlocks() const { return queue_.size(); }

private:
    // What the feed thread keeps of the build: copies, because the build's record (and
    // the window holding it) may be gone while the drive still finishes the disc.
    struct FeedRun {
        MessageTarget window;
        std::shared_ptr<Event> cancelEvent;
        std::int32_t imageSectors = 0;
        bool cancelled() const { return cancelEvent && cancelEvent->isSet(); }
    };

    void pushBlock(RecorderBlockKind kind);
    int run(const FeedRun& feedRun, BaseDriver& driver);
    static void postError(const MessageTarget& window, const std::string& text);

    MmcCueSheet cueSheet_;
    RecorderQueue queue_;
    bool rawSectors_ = false;
    int nextRawAddress_ = kPregapFrames;
    RecorderBlockPtr accumulation_;
    std::size_t accumulated_ = 0;
    std::thread thread_;
    std::atomic<int> result_{-1};
};

}  // namespace tellavine
