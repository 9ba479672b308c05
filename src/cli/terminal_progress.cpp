#include "cli/terminal_progress.h"

#include "recorder/recorder_feed.h"
#include "recorder/recorder_messages.h"

#include <unistd.h>

#include <string>

namespace tellavine::cli {

TerminalProgress::TerminalProgress(const BuildJob& job, bool simulate, std::FILE* out)
    : progress_(job, simulate), out_(out), terminal_(isatty(fileno(out)) != 0) {}

void TerminalProgress::postMessage(unsigned message, MessageParam wParam, MessageParam lParam) {
    // The recorder's error text comes in a buffer the receiver owns.
    const std::string errorText = message == recorder::WM_BURN_ERROR ? takeBurnErrorText(wParam) : std::string{};
    std::lock_guard lock(mutex_);
    if (progress_.handle(message, wParam, lParam, errorText)) render();
}

MessageParam TerminalProgress::sendMessage(unsigned message, MessageParam wParam, MessageParam lParam) {
    postMessage(message, wParam, lParam);
    return 0;
}

ProgressView TerminalProgress::view() const {
    std::lock_guard lock(mutex_);
    return progress_.view();
}

void TerminalProgress::render() {
    const ProgressView& view = progress_.view();
    // Status texts may span lines; the bar shows their first line.
    const std::string firstLine = view.status.substr(0, view.status.find('\n'));
    if (view.done) {
        if (barDrawn_) std::fputc('\n', out_);
        barDrawn_ = false;
        std::fprintf(out_, "%s\n", view.status.c_str());
        std::fflush(out_);
        return;
    }
    if (terminal_) {
        constexpr int kWidth = 30;
        const int filled = view.position * kWidth / 100;
        std::fprintf(out_, "\r\033[K[%.*s%*s] %-7s %s", filled, "##############################",
                     kWidth - filled, "", view.barText.c_str(), firstLine.c_str());
        std::fflush(out_);
        barDrawn_ = true;
        return;
    }
    const int decile = view.position / 10;
    if (view.status != lastStatus_ || decile != lastDecile_) {
        std::fprintf(out_, "%s %s\n", firstLine.c_str(), view.barText.c_str());
        std::fflush(out_);
        lastStatus_ = view.status;
        lastDecile_ = decile;
    }
}

}  // namespace tellavine::cli
