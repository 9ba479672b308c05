#pragma once
// An exclusive lock on a folder for as long as the object lives. Two builds that share
// a temporary folder would overwrite each other's stills and segments, so a second one
// is refused at once rather than made to wait.

#include <string>

namespace tellavine {

class FolderLock {
public:
    enum class State {
        Held,        // this object holds the lock
        Busy,        // another holder has it
        Unavailable  // the folder cannot be opened (missing, say): nothing is locked
    };

    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State state() const { return state_; }

    // Takes an exclusive lock on the open file `fd` without waiting: Held or Busy, or
    // Unavailable when the file cannot be locked at all.
    static State lockExclusively(int fd);

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

}  // namespace tellavine
