#pragma once
// Ctrl+C (SIGINT) and SIGTERM while a build runs. The handler only writes a byte to a
// pipe (write is async-signal-safe); the thread waiting on the build reads it and sets
// the job's cancel event at once. A cancel that waited for a polling tick could arrive
// after the image had already replaced the earlier one.

#include <atomic>

namespace tellavine::cli {

class InterruptPipe {
public:
    enum class Wake { Interrupt, Finished };

    // Installs the handlers; the destructor puts the previous ones back.
    InterruptPipe();
    ~InterruptPipe();
    InterruptPipe(const InterruptPipe&) = delete;
    InterruptPipe& operator=(const InterruptPipe&) = delete;

    // Called from any thread when the build has ended; wakes waitForWake.
    void notifyFinished();
    // Blocks until an interrupt or the end of the build is signalled.
    Wake waitForWake();
    // An interrupt arrived since construction.
    bool interrupted() const;
};

}  // namespace tellavine::cli
