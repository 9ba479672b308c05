#include "platform/folder_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tellavine {

FolderLock::FolderLock(const std::string& folder) {
    // flock on the folder itself: the lock belongs to this open file description, so it
    // also keeps out a second lock in the same process, and it goes with the process.
    if (folder.empty()) return;
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    state_ = lockExclusively(fd_);
    if (state_ == State::Held) return;
    ::close(fd_);
    fd_ = -1;
}

FolderLock::State FolderLock::lockExclusively(int fd) {
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) return State::Held;
    return errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace tellavine
