#pragma once
// One owned C stdio stream. A writer ends with close() and treats false as a failed
// write: a full disk often shows only when the last buffer is flushed, and a write
// error the writer did not look at leaves the stream's error flag behind. The
// destructor closes without looking, for readers and for outputs that are abandoned.

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace tellavine {

class File {
public:
    File() noexcept = default;
    explicit File(std::FILE* stream) noexcept : stream_(stream) {}
    ~File() { discard(); }
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // std::fopen; empty (with errno set) when the file cannot be opened.
    static File open(const std::string& path, const char* mode);
    // open(2) with `flags` (O_CLOEXEC is added) and `permissions`, then a stream of
    // `mode` over it: for O_NOFOLLOW and permissions that fopen cannot express.
    static File openWithFlags(const std::string& path, int flags, mode_t permissions, const char* mode);

    std::FILE* get() const noexcept { return stream_; }
    explicit operator bool() const noexcept { return stream_ != nullptr; }

    // Gives the stream a fully buffered buffer of `bytes`, which lives as long as the
    // stream. Only before the first read or write.
    bool setBuffer(std::size_t bytes);
    // Flushes the stream and the system's cache of the file to the disk; a file that
    // cannot be synced (a pipe, a character device) counts as synced.
    bool syncToDisk();
    // Flushes and closes. True when every byte written reached the file (and nothing
    // was open to begin with); false after a failed flush or close, or when a write to
    // the stream had already failed.
    bool close() noexcept;
    // Closes without looking at the result.
    void discard() noexcept;

private:
    std::FILE* stream_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // set by setBuffer; freed only after the stream is closed
};

}  // namespace tellavine
