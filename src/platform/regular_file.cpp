#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tellavine {

RegularFile RegularFile::open(const std::string& path, std::uint64_t maxBytes) {
    RegularFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        file.missing_ = errno == ENOENT;
        file.error_ = std::strerror(errno);
        return file;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        file.error_ = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        file.error_ = S_ISDIR(status.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
    } else if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        file.error_ = "it is larger than " + byteSizeText(maxBytes);
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        file.error_ = std::strerror(errno);
    } else {
        file.fd_ = fd;
        file.size_ = static_cast<std::uint64_t>(status.st_size);
        return file;
    }
    ::close(fd);
    return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), missing_(other.missing_), size_(other.size_), error_(std::move(other.error_)) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        missing_ = other.missing_;
        size_ = other.size_;
        error_ = std::move(other.error_);
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::FILE* RegularFile::releaseToStream() {
    if (fd_ < 0) return nullptr;
    std::FILE* stream = ::fdopen(fd_, "rb");
    if (stream) fd_ = -1;
    return stream;
}

bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& content, std::string& error,
                     bool* missing) {
    RegularFile file = RegularFile::open(path, maxBytes);
    if (missing) *missing = file.missing();
    if (!file.isOpen()) {
        error = file.error();
        return false;
    }
    // The file may grow after fstat; the cap holds for what is read, not for what was seen.
    content.assign(static_cast<std::size_t>(file.size()), '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == content.size()) {
            if (content.size() >= maxBytes) break;
            content.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, content.size() + 65536)));
        }
        const ssize_t got = ::read(file.fd(), content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    if (filled == maxBytes) {
        char extra = 0;
        if (::read(file.fd(), &extra, 1) > 0) {
            error = "it is larger than " + byteSizeText(maxBytes);
            return false;
        }
    }
    return true;
}

std::string byteSizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= (1u << 20)) return std::to_string((bytes + (1u << 19)) >> 20) + " MiB";
    if (bytes >= 1024) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace tellavine
