#pragma once
// A background thread that makes the editor's thumbnails, one list at a time: the page
// hands it the list's photos, and it reports each thumbnail as it is ready, so the page
// stays responsive while a folder of thousands of large photos loads.
//
// Threads: start() and stop() run on the UI thread; the worker takes the current run's
// items and generation under the mutex, makes thumbnails without it, and reports through
// queued calls on the UI thread. stop() never waits: a run that was stopped ends before
// its next item and its late results are dropped (their generation is old). Only the
// destructor joins the thread, which takes at most the one picture being decoded.

#include "compose/thumbnail_cache.h"

#include <QImage>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tellavine::ui {

inline constexpr int kThumbnailWidth = 104;
inline constexpr int kThumbnailHeight = 78;

struct ThumbnailRequest {
    std::string path;
    int rotation = 0;  // clockwise degrees, also the cache key
};

// The thumbnail of a photo: from the cache, or loaded (JPEG reduced in the decoder),
// turned by `rotation` and fitted into 104 x 78 keeping its proportions, then cached.
// Made in the screen's own format (RGB32), so that turning it into a pixmap on the UI
// thread converts nothing. Null when the file cannot be read.
QImage makeThumbnail(const ThumbnailRequest& request, ThumbnailCache& cache);
// The size a picture of `width` x `height` takes inside the 104 x 78 box.
QSize thumbnailFit(int width, int height);
// `image` reduced (never enlarged) to fit `box` and centred on a transparent square of
// that size: every icon of a list then has the same size, and the list lays them out
// and labels them alike, upright or not.
QImage fitIntoBox(const QImage& image, QSize box);

class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailLoader(ThumbnailCache& cache, QObject* parent = nullptr);
    // Reports each thumbnail fitted into `iconBox` (see fitIntoBox), done on this thread.
    ThumbnailLoader(ThumbnailCache& cache, QObject* parent, QSize iconBox);
    ~ThumbnailLoader() override;

    // Ends the current run (if any) and starts one over `items`.
    void start(std::vector<ThumbnailRequest> items);
    void stop();
    // True when no run is going (the "done" state).
    bool idle() const;
    // For tests and the benchmark: waits until idle, or false after `timeout`.
    bool waitUntilIdle(std::chrono::milliseconds timeout) const;

signals:
    // The thumbnail of items[index] of the current run; a null image when it failed.
    void thumbnailReady(int index, const QImage& image);
    void runFinished();

private:
    void work();
    bool current(unsigned generation) const;

    ThumbnailCache& cache_;
    const QSize iconBox_;  // invalid: thumbnails as made
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    std::vector<ThumbnailRequest> items_;  // guarded by mutex_: the run waiting to start
    unsigned generation_ = 0;              // guarded by mutex_: changes with each start and stop
    bool pending_ = false;                 // guarded by mutex_: a run waits to start
    bool running_ = false;                 // guarded by mutex_: a run is going
    bool quit_ = false;                    // guarded by mutex_
    std::thread thread_;
};

}  // namespace tellavine::ui
