#pragma once
// What a build's progress display shows for each numbered message: the status text,
// the bar's position and short text, and whether the build has ended. The desktop
// program's progress window and the command-line tool both show this.

#include "platform/message_target.h"
#include "project/build_job.h"

#include <string>

namespace tellavine {

struct ProgressView {
    std::string status = "Writing data...";
    int position = 0;  // 0..100
    std::string barText;
    bool barVisible = true;
    bool done = false;
    bool succeeded = false;
    bool closeLabel = false;  // the button reads "&Close"
};

class BuildProgress {
public:
    // `job` gives the image's sector count; `simulate` and the CUE path shape the texts.
    BuildProgress(const BuildJob& job, bool simulate);

    // Updates the view for one message; false when the message is not a progress message.
    bool handle(const Message& message);
    const ProgressView& view() const { return view_; }

private:
    void waiting(const char* status);
    void finish(const std::string& status, bool succeeded, bool closeLabel);

    const BuildJob& job_;
    bool simulate_;
    long long imageMessages_ = 0;
    ProgressView view_;
};

}  // namespace tellavine
