#pragma once
// Decoded thumbnails shared by the UI thread and the loader threads, keyed by photo path
// (exactly: IMG.jpg and img.jpg are two photos here) and an integer such as the
// rotation, within a byte budget: the
// oldest entries go first. Pictures are handed out as shared, immutable copies so an
// eviction on one thread never pulls a picture from under another.
//
// Locking: one mutex guards the entry list and the total; it is held only inside find
// and store, never while decoding.

#include "imaging/picture.h"

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>

namespace tellavine {

class ThumbnailCache {
public:
    static constexpr std::size_t kEntryOverhead = 268;  // bytes counted per entry besides the picture

    explicit ThumbnailCache(std::size_t budgetBytes) : budget_(budgetBytes) {}

    std::shared_ptr<const Picture> find(const std::string& path, int key) const;
    // Replaces the picture of an existing (path, key); otherwise appends a new entry after
    // removing the oldest entries until it fits the budget. Returns the stored copy.
    std::shared_ptr<const Picture> store(const std::string& path, Picture picture, int key);

    std::size_t totalBytes() const;
    std::size_t entryCount() const;

private:
    struct Entry {
        std::string path;
        int key = 0;
        std::shared_ptr<const Picture> picture;
        std::size_t bytes = 0;
    };

    mutable std::mutex mutex_;
    std::list<Entry> entries_;
    std::size_t total_ = 0;
    std::size_t budget_;
};

}  // namespace tellavine
