#include "compose/thumbnail_cache.h"

namespace tellavine {

std::shared_ptr<const Picture> ThumbnailCache::find(const std::string& path, int key) const {
    std::lock_guard lock(mutex_);
    for (const Entry& entry : entries_)
        if (entry.key == key && entry.path == path) return entry.picture;
    return nullptr;
}

std::shared_ptr<const Picture> ThumbnailCache::store(const std::string& path, Picture picture, int key) {
    const std::size_t bytes = picture.byteSize() + kEntryOverhead;
    auto shared = std::make_shared<const Picture>(std::move(picture));
    std::lock_guard lock(mutex_);
    for (Entry& entry : entries_) {
        if (entry.key == key && entry.path == path) {
            total_ = total_ - entry.bytes + bytes;
            entry.picture = shared;
            entry.bytes = bytes;
            return shared;
        }
    }
    while (!entries_.empty() && total_ + bytes >= budget_) {
        total_ -= entries_.front().bytes;
        entries_.pop_front();
    }
    entries_.push_back({path, key, shared, bytes});
    total_ += bytes;
    return shared;
}

std::size_t ThumbnailCache::totalBytes() const {
    std::lock_guard lock(mutex_);
    return total_;
}

std::size_t ThumbnailCache::entryCount() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace tellavine
