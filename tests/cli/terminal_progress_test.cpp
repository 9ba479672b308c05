// The progress bar as a terminal shows it, through a pseudo-terminal.
#include "cli/terminal_progress.h"
#include "platform/numbered_messages.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace tellavine {
namespace {

// Collects what a program writes to a terminal until the terminal is closed.
class PseudoTerminal {
public:
    PseudoTerminal() {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
        out_ = ::fdopen(slave_, "w");
        reader_ = std::thread([this] {
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::read(master_, buffer, sizeof buffer);
                if (got <= 0) break;  // EIO once the terminal side is closed
                seen_.append(buffer, static_cast<std::size_t>(got));
            }
        });
    }
    ~PseudoTerminal() { close(); }
    std::FILE* out() const { return out_; }
    // Closes the terminal side and returns everything written to it.
    const std::string& close() {
        if (out_) std::fclose(out_);
        out_ = nullptr;
        if (reader_.joinable()) reader_.join();
        if (master_ >= 0) ::close(master_);
        master_ = -1;
        return seen_;
    }

private:
    int master_ = -1, slave_ = -1;
    std::FILE* out_ = nullptr;
    std::thread reader_;
    std::string seen_;
};

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

TEST(TerminalProgress, RedrawsOnlyWhatChangesAndShowsTheRecordersReason) {
    PseudoTerminal terminal;
    ASSERT_NE(terminal.out(), nullptr);
    BuildJob job;
    {
        cli::TerminalProgress progress(job, false, terminal.out());
        // 20000 sectors of a 100000-sector disc: the bar text changes every 100.
        for (int sector = 0; sector < 20000; ++sector) progress.postMessage({WM_BURN_PROGRESS, sector, 100000, {}});
        progress.postMessage({WM_BURN_ERROR, 0, 0, "Error while writing cd"});
        EXPECT_TRUE(progress.view().done);
    }
    const std::string& seen = terminal.close();
    EXPECT_LE(count(seen, "\033[K"), 201u);
    EXPECT_GE(count(seen, "\033[K"), 200u);
    EXPECT_NE(seen.find("20.0%"), std::string::npos);
    EXPECT_NE(seen.find("The burning process failed. Error message :\r\nError while writing cd"), std::string::npos)
        << seen;
}

}  // namespace
}  // namespace tellavine
