#include "ui/pages/preview_loader.h"

#include "imaging/codec.h"

#include <chrono>

namespace tellavine::ui {

PreviewLoader::PreviewLoader() {
    done_.set();
}

PreviewLoader::~PreviewLoader() {
    stop();
}

void PreviewLoader::start(std::vector<PreviewPhoto> photos) {
    stop();
    clear();
    stop_.reset();
    done_.reset();
    thread_ = std::thread([this, photos = std::move(photos)]() mutable { run(std::move(photos)); });
}

void PreviewLoader::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_.set();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void PreviewLoader::clear() {
    std::lock_guard lock(mutex_);
    queue_.clear();
}

std::size_t PreviewLoader::queued() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

std::optional<PreviewEntry> PreviewLoader::waitForEntry() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !queue_.empty() || stop_.isSet(); });
    if (stop_.isSet() || queue_.empty()) return std::nullopt;
    PreviewEntry entry = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return entry;
}

void PreviewLoader::append(PreviewEntry entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(entry));
    }
    changed_.notify_all();
}

void PreviewLoader::run(std::vector<PreviewPhoto> photos) {
    for (std::size_t i = 0; i < photos.size(); ++i) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return queue_.size() < kMaxAhead || stop_.isSet(); });
            if (stop_.isSet()) break;
        }
        PreviewEntry entry;
        entry.slideIndex = static_cast<int>(i);
        // A photo that cannot be decoded is still queued: it shows as a black screen.
        entry.picture = loadPicture(photos[i].path).picture;
        switch (photos[i].rotation) {
            case 90: entry.picture.rotateRight(); break;
            case 180: entry.picture.rotate180(); break;
            case 270: entry.picture.rotateLeft(); break;
            default: break;
        }
        append(std::move(entry));
    }
    if (!stop_.isSet()) append(PreviewEntry{true, -1, {}});
    done_.set();
}

}  // namespace tellavine::ui
