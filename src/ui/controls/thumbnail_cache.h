#pragma once
// A thread-safe store of decoded pictures keyed by (path, integer key) with a byte
// budget. The editor's two loader threads fill it while the UI thread reads it; paths
// compare exactly, as Linux names files (IMG.jpg and img.jpg are two photos).
//
// `Picture` is any copyable handle (a shared pointer, a QImage); `sizeOf` gives its
// size in bytes. Each entry also counts 268 bytes of bookkeeping. Storing never lets
// the total reach the budget by more than the newest entry: when the new entry would
// reach it, the oldest entry goes first (one per store).

#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>

namespace tellavine::ui {

inline constexpr std::size_t kThumbnailEntryOverhead = 268;
inline constexpr std::size_t kEditorThumbnailBudget = 16777216;
inline constexpr std::size_t kPreviewThumbnailBudget = 8388608;

template <typename Picture>
class ThumbnailCache {
public:
    ThumbnailCache(std::size_t budget, std::function<std::size_t(const Picture&)> sizeOf)
        : budget_(budget), sizeOf_(std::move(sizeOf)) {}

    std::optional<Picture> find(const std::string& path, int key) const {
        std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_) {
            if (entry.key == key && entry.path == path) return entry.picture;
        }
        return std::nullopt;
    }

    void store(const std::string& path, const Picture& picture, int key) {
        std::lock_guard lock(mutex_);
        for (Entry& entry : entries_) {
            if (entry.key == key && entry.path == path) {
                entry.picture = picture;  // the total stays as it was
                return;
            }
        }
        const std::size_t size = sizeOf_(picture) + kThumbnailEntryOverhead;
        if (size + total_ >= budget_ && !entries_.empty()) {
            total_ -= entries_.front().size;
            entries_.pop_front();
        }
        entries_.push_back(Entry{path, key, picture, size});
        total_ += size;
    }

    std::size_t totalSize() const {
        std::lock_guard lock(mutex_);
        return total_;
    }
    std::size_t entryCount() const {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }

private:
    struct Entry {
        std::string path;
        int key;
        Picture picture;
        std::size_t size;
    };

    mutable std::mutex mutex_;
    std::list<Entry> entries_;  // oldest first; guarded by mutex_
    std::size_t total_ = 0;     // guarded by mutex_
    const std::size_t budget_;
    const std::function<std::size_t(const Picture&)> sizeOf_;
};

}  // namespace tellavine::ui
