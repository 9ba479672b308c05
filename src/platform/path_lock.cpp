#include "platform/path_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


namespace tellavine {
namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

PathLock::PathLock(const std::string& path) : lockPath_(path + ".lock") {
    // A holder unlinks the lock file before it lets go: a lock taken on a file that is no
    // longer at the path locks nothing, so the path is checked again after locking.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0) return;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return;
        }
        const State locked = FolderLock::lockExclusively(fd);
        if (locked != State::Held) {
            state_ = locked;
            ::close(fd);
            return;
        }
        struct stat current {};
        if (::lstat(lockPath_.c_str(), &current) == 0 && sameFile(opened, current)) {
            fd_ = fd;
            state_ = State::Held;
            return;
        }
        ::close(fd);
    }
}

PathLock::~PathLock() {
    if (fd_ < 0) return;
    ::unlink(lockPath_.c_str());
    ::close(fd_);
}

}  // namespace tellavine
