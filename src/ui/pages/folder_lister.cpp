#include "ui/pages/folder_lister.h"

#include "ui/pages/picture_files.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMetaObject>

namespace tellavine::ui {

FolderLister::FolderLister(QObject* parent) : QObject(parent), thread_([this] { work(); }) {}

FolderLister::~FolderLister() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    wake_.notify_all();
    thread_.join();
}

void FolderLister::start(const QString& folder) {
    {
        std::lock_guard lock(mutex_);
        folder_ = folder;
        ++generation_;
        pending_ = true;
    }
    wake_.notify_all();
}

void FolderLister::stop() {
    std::lock_guard lock(mutex_);
    ++generation_;
    pending_ = false;
}

bool FolderLister::idle() const {
    std::lock_guard lock(mutex_);
    return !pending_ && !running_ && undelivered_ == 0;
}

bool FolderLister::waitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, timeout, [this] { return !pending_ && !running_; });
}

bool FolderLister::current(unsigned generation) const {
    std::lock_guard lock(mutex_);
    return generation == generation_;
}

void FolderLister::work() {
    for (;;) {
        QString folder;
        unsigned generation = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || pending_; });
            if (quit_) return;
            folder = folder_;
            generation = generation_;
            pending_ = false;
            running_ = true;
        }
        std::vector<PictureFileEntry> files;
        QDirIterator entries(folder, QDir::Files | QDir::Readable);
        while (entries.hasNext() && current(generation)) {
            const QFileInfo entry = entries.nextFileInfo();
            if (!isPictureFile(entry.fileName())) continue;
            files.push_back({entry.fileName(), entry.absoluteFilePath(), entry.size(), entry.lastModified()});
        }
        {
            std::lock_guard lock(mutex_);
            running_ = false;
            ++undelivered_;
        }
        wake_.notify_all();
        // Queued on the UI thread; dropped there when a newer listing has begun.
        QMetaObject::invokeMethod(
            this,
            [this, generation, folder, files = std::move(files)] {
                bool fresh = false;
                {
                    std::lock_guard lock(mutex_);
                    --undelivered_;
                    fresh = generation == generation_;
                }
                if (fresh) emit listed(folder, files);
            },
            Qt::QueuedConnection);
    }
}

}  // namespace tellavine::ui
