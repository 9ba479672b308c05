#pragma once
// The preview's picture loader: decodes an album's photos on its own thread, at most six
// ahead of the slideshow, into a queue that ends with an end entry.
//
// Threads: start/stop/waitForEntry/clear run on the user-interface thread; the loader
// thread only appends. The queue is guarded by mutex_; decoding happens outside it.
// stop() sets the stop event (which also ends the loader's wait for room and a
// slideshow tick's wait for a picture) and joins the thread, which finishes at most the
// photo it is decoding.

#include "imaging/picture.h"
#include "platform/event.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tellavine::ui {

struct PreviewPhoto {
    std::string path;
    int rotation = 0;  // clockwise degrees; other than 90, 180, 270 leaves the photo
};

struct PreviewEntry {
    bool end = false;     // the album has no more photos
    int slideIndex = -1;  // which photo of the album
    Picture picture;      // empty when the photo could not be decoded
};

class PreviewLoader {
public:
    static constexpr std::size_t kMaxAhead = 6;

    PreviewLoader();
    ~PreviewLoader();
    PreviewLoader(const PreviewLoader&) = delete;
    PreviewLoader& operator=(const PreviewLoader&) = delete;

    // Stops a loader still running, empties the queue and loads `photos` in order.
    void start(std::vector<PreviewPhoto> photos);
    // Signals the stop event and waits for the loader thread to end.
    void stop();
    // The head entry, waiting for one while the loader works; nothing once stopped.
    std::optional<PreviewEntry> waitForEntry();
    void clear();
    bool done() const { return done_.isSet(); }
    std::size_t queued() const;

private:
    void run(std::vector<PreviewPhoto> photos);
    void append(PreviewEntry entry);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PreviewEntry> queue_;  // guarded by mutex_
    Event stop_;
    Event done_;  // set while no loader runs
    std::thread thread_;
};

}  // namespace tellavine::ui
