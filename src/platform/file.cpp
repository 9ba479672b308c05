#include "platform/file.h"

#include "platform/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tellavine {

File::File(File&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)), buffer_(std::move(other.buffer_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        discard();
        stream_ = std::exchange(other.stream_, nullptr);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

File File::open(const std::string& path, const char* mode) {
    // Files only read must be regular files: a FIFO would block in fopen where cancelling
    // cannot reach it, and a device such as /dev/zero never ends.
    const std::string how(mode);
    if (how == "r" || how == "rb") return File(RegularFile::open(path).releaseToStream());
    return File(std::fopen(path.c_str(), mode));
}

File File::openWithFlags(const std::string& path, int flags, mode_t permissions, const char* mode) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, permissions);
    if (fd < 0) return File();
    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return File(stream);
}

bool File::setBuffer(std::size_t bytes) {
    if (!stream_) return false;
    auto buffer = std::make_unique_for_overwrite<char[]>(bytes);
    if (std::setvbuf(stream_, buffer.get(), _IOFBF, bytes) != 0) return false;
    buffer_ = std::move(buffer);
    return true;
}

bool File::syncToDisk() {
    if (!stream_ || std::fflush(stream_) != 0) return false;
    return ::fsync(::fileno(stream_)) == 0 || errno == EINVAL;
}

bool File::close() noexcept {
    if (!stream_) return true;
    const bool writeFailed = std::ferror(stream_) != 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    buffer_.reset();
    return closed && !writeFailed;
}

void File::discard() noexcept {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    buffer_.reset();
}

}  // namespace tellavine
