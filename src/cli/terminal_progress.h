#pragma once
// Shows a build's numbered messages on the terminal: a redrawn progress bar when
// standard error is a terminal, plain lines (one per status change and every 10 %)
// otherwise, as in logs and pipes.

#include "pipeline/build_progress.h"

#include <cstdio>
#include <mutex>

namespace tellavine::cli {

class TerminalProgress : public MessageReceiver {
public:
    TerminalProgress(const BuildJob& job, bool simulate, std::FILE* out);

    void postMessage(Message message) override;
    MessageParam sendMessage(const Message& message) override;

    ProgressView view() const;

private:
    void render();

    mutable std::mutex mutex_;
    BuildProgress progress_;  // guarded by mutex_
    std::FILE* out_;
    bool terminal_;
    std::string lastStatus_;
    int lastDecile_ = -1;
    bool barDrawn_ = false;
    std::string lastBar_;  // the bar as last drawn: a sector that changes nothing redraws nothing
};

}  // namespace tellavine::cli
