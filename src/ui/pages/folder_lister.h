#pragma once
// Lists the picture files of a folder on a background thread, so that opening a folder
// of thousands of photos (or a slow network folder) never blocks the editor.
//
// Threads: start() and stop() run on the UI thread; the worker takes the folder and the
// generation under the mutex, reads the folder without it, and hands the whole listing
// to the UI thread through one queued call. A listing that was stopped or replaced ends
// before its next file and its late result is dropped (its generation is old). Only the
// destructor joins the thread, which takes at most one directory entry.

#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tellavine::ui {

struct PictureFileEntry {
    QString name;  // the file name
    QString path;  // absolute
    qint64 sizeBytes = 0;
    QDateTime modified;
};

class FolderLister : public QObject {
    Q_OBJECT
public:
    explicit FolderLister(QObject* parent = nullptr);
    ~FolderLister() override;

    // Ends the listing going on (if any) and starts one of `folder`.
    void start(const QString& folder);
    void stop();
    // True when no listing is going and none waits to be delivered.
    bool idle() const;
    // For tests and the benchmark: waits until the worker is done, or false after
    // `timeout` (the result may still wait in the UI thread's event queue).
    bool waitUntilIdle(std::chrono::milliseconds timeout) const;

signals:
    // The picture files of the folder last started, in the order the file system gave
    // them (an empty list when it cannot be read).
    void listed(const QString& folder, const std::vector<PictureFileEntry>& files);

private:
    void work();
    bool current(unsigned generation) const;

    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    QString folder_;          // guarded by mutex_: the folder waiting to be listed
    unsigned generation_ = 0;  // guarded by mutex_: changes with each start and stop
    bool pending_ = false;     // guarded by mutex_: a listing waits to start
    bool running_ = false;     // guarded by mutex_: a listing is going
    int undelivered_ = 0;      // guarded by mutex_: results waiting in the UI thread's queue
    bool quit_ = false;        // guarded by mutex_
    std::thread thread_;
};

}  // namespace tellavine::ui
