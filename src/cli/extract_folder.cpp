#include "cli/extract_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace tellavine::cli {
namespace {

// Closes a descriptor it owns when it goes out of scope.
class OwnedFd {
public:
    explicit OwnedFd(int fd = -1) : fd_(fd) {}
    OwnedFd(OwnedFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    OwnedFd& operator=(OwnedFd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~OwnedFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::string reasonFor(const std::string& path, int error) {
    if (error == ELOOP || error == ENOTDIR) return path + " is a link or not a folder; nothing is written through it";
    if (error == EEXIST) return path + " already exists; extract into an empty folder";
    return path + ": " + std::strerror(error);
}

}  // namespace

bool ExtractFolder::open(const std::string& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error = "cannot open the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    path_ = folder;
    return true;
}

ExtractFolder::~ExtractFolder() {
    if (fd_ >= 0) ::close(fd_);
}

bool ExtractFolder::writeNewFile(const std::string& relativePath, std::span<const std::uint8_t> bytes,
                                 std::string& error) {
    OwnedFd folder(::dup(fd_));
    std::string shown = path_;
    std::size_t start = 0;
    // Each folder on the way: made here, or an existing real folder; never a link.
    for (std::size_t slash = relativePath.find('/'); slash != std::string::npos;
         start = slash + 1, slash = relativePath.find('/', start)) {
        const std::string name = relativePath.substr(start, slash - start);
        shown += "/" + name;
        if (::mkdirat(folder.get(), name.c_str(), 0777) != 0 && errno != EEXIST) {
            error = reasonFor(shown, errno);
            return false;
        }
        OwnedFd next(::openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) {
            error = reasonFor(shown, errno);
            return false;
        }
        folder = std::move(next);
    }
    const std::string name = relativePath.substr(start);
    shown += "/" + name;
    OwnedFd file(::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        error = reasonFor(shown, errno);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) {
            error = reasonFor(shown, errno);
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    if (::close(file.release()) != 0) {
        error = reasonFor(shown, errno);
        return false;
    }
    return true;
}

}  // namespace tellavine::cli
