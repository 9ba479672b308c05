#include "cli/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace tellavine::cli {

TerminalProgress::TerminalProgress(const BuildJob& job, bool simulate, std::FILE* out)
    : progress_(job, simulate), out_(out), terminal_(isatty(fileno(out)) != 0) {}

void TerminalProgress::postMessage(Message message) {
    std::lock_guard lock(mutex_);
    if (progress_.handle(message)) render();
}

MessageParam TerminalProgress::sendMessage(const Message& message) {
    postMessage(message);
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
        const int filled = std::clamp(view.position, 0, 100) * kWidth / 100;
        std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                           std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " + view.barText;
        if (view.barText.size() < 7) line.append(7 - view.barText.size(), ' ');
        line += " " + firstLine;
        if (barDrawn_ && line == lastBar_) return;
        std::fprintf(out_, "\r\033[K%s", line.c_str());
        std::fflush(out_);
        lastBar_ = std::move(line);
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
