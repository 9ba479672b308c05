// tellavine-mpegworker: runs still encodes and stills multiplexes for the engine.
// Requests arrive on standard input and replies leave on standard output (see
// encode/worker_protocol.h); the libraries' own output is kept off that channel.
// The worker leaves after a fatal library error and when its budget is spent (the
// encoder library leaks about 2.4 MB with every 704-wide still); the engine then starts
// a new one. Options: --job-budget N (jobs per worker), --memory-budget-mb N (resident
// size after which it leaves).

#include "encode/worker_protocol.h"
#include "mpegworker/channel.h"
#include "mpegworker/fatal_error.h"
#include "mpegworker/still_encoding.h"
#include "mpegworker/stills_multiplexing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

using namespace tellavine::mpegworker;

namespace {

struct Budget {
    int jobs = 400;
    long residentBytes = 192L * 1024 * 1024;
};

Budget budgetFrom(int argc, char** argv) {
    Budget budget;
    for (int i = 1; i + 1 < argc; i += 2) {
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (value <= 0) continue;
        if (std::strcmp(argv[i], "--job-budget") == 0) budget.jobs = static_cast<int>(value);
        if (std::strcmp(argv[i], "--memory-budget-mb") == 0) budget.residentBytes = value * 1024 * 1024;
    }
    return budget;
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long totalPages = 0, residentPages = 0;
    statm >> totalPages >> residentPages;
    return residentPages * ::sysconf(_SC_PAGESIZE);
}

Reply runJob(const std::vector<std::uint8_t>& payload) {
    Reply reply;
    const auto kind = payloadKind(payload);
    if (kind == MessageKind::EncodeStill) {
        if (const auto request = decodeEncodeStill(payload)) {
            reply.data = encodeStillPicture(*request);
            return reply;
        }
    } else if (kind == MessageKind::MultiplexStills) {
        if (const auto request = decodeMultiplex(payload)) {
            multiplexStills(*request);
            return reply;
        }
    }
    reply.status = ReplyStatus::BadRequest;
    reply.message = "The MPEG worker received a request it cannot read.\n";
    return reply;
}

}  // namespace

int main(int argc, char** argv) {
    const auto budget = budgetFrom(argc, argv);
    // Keep the channel on private descriptors, and give the libraries' stray
    // printf output somewhere harmless.
    const int requests = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int replies = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (requests < 0 || replies < 0) return 2;
    const int nullInput = ::open("/dev/null", O_RDONLY);
    if (nullInput >= 0) ::dup2(nullInput, STDIN_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);

    setFatalReplyChannel(replies);
    silenceLibraryLog();

    for (int jobs = 1;; ++jobs) {
        const auto payload = readPayload(requests);
        if (!payload) return 0;
        auto reply = runJob(*payload);
        std::fflush(stdout);
        reply.retiring = jobs >= budget.jobs || residentBytes() > budget.residentBytes;
        if (!writePayload(replies, encodeReply(reply))) return 0;
        if (reply.retiring) return 0;
    }
}
