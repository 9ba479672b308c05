#include "cli/interrupt_pipe.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tellavine::cli {
namespace {

// One build runs per process, so the pipe and the flag are process-wide.
int wakeReadEnd = -1;
int wakeWriteEnd = -1;
std::atomic<bool> interruptSeen{false};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

constexpr char kInterruptByte = 'i';
constexpr char kFinishedByte = 'f';

void writeWakeByte(char byte) {
    const int savedErrno = errno;  // the handler must not disturb the interrupted code
    while (::write(wakeWriteEnd, &byte, 1) < 0 && errno == EINTR) {
    }
    errno = savedErrno;
}

extern "C" void onInterruptSignal(int) {
    interruptSeen = true;
    writeWakeByte(kInterruptByte);
}

}  // namespace

InterruptPipe::InterruptPipe() {
    interruptSeen = false;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) == 0) {
        wakeReadEnd = ends[0];
        wakeWriteEnd = ends[1];
    }
    struct sigaction action {};
    action.sa_handler = onInterruptSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInterrupt);
    ::sigaction(SIGTERM, &action, &previousTerminate);
}

InterruptPipe::~InterruptPipe() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    if (wakeReadEnd >= 0) ::close(wakeReadEnd);
    if (wakeWriteEnd >= 0) ::close(wakeWriteEnd);
    wakeReadEnd = wakeWriteEnd = -1;
}

void InterruptPipe::notifyFinished() { writeWakeByte(kFinishedByte); }

InterruptPipe::Wake InterruptPipe::waitForWake() {
    char byte = 0;
    while (true) {
        const ssize_t got = ::read(wakeReadEnd, &byte, 1);
        if (got == 1) return byte == kInterruptByte ? Wake::Interrupt : Wake::Finished;
        if (got < 0 && errno == EINTR) continue;
        // Without a pipe there is nothing to wait on: treat it as the end so the caller
        // joins the build thread rather than spinning.
        return Wake::Finished;
    }
}

bool InterruptPipe::interrupted() const { return interruptSeen; }

}  // namespace tellavine::cli
