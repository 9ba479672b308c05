#pragma once
// An exclusive lock on a file path for as long as the object lives, held on a lock file
// "<path>.lock" beside it, so that two processes (or two builds in one process) never
// write the same output at once. The lock file is removed by its holder; a holder that
// died leaves it unlocked, and the next one takes it over.

#include "platform/folder_lock.h"

#include <string>

namespace tellavine {

class PathLock {
public:
    // Unavailable: no lock file can be made there (a read-only folder, say); nothing is locked.
    using State = FolderLock::State;

    explicit PathLock(const std::string& path);
    ~PathLock();
    PathLock(const PathLock&) = delete;
    PathLock& operator=(const PathLock&) = delete;

    State state() const { return state_; }

private:
    std::string lockPath_;
    int fd_ = -1;
    State state_ = State::Unavailable;
};

}  // namespace tellavine
