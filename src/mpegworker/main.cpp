// tellavine-mpegworker: runs still encodes and stills multiplexes for the engine.
// Requests arrive on standard input and replies leave on standard output (see
// encode/worker_protocol.h); the libraries' own output is kept off that channel.
// The worker leaves after a fatal library error and when its budget is spent (the
// encoder library leaks about 2.4 MB with every 704-wide still); the engine then starts
// a new one. Options: --job-budget N (jobs per worker), --memory-budget-mb N (resident
// size after which it leaves), --reference-dct (code stills with the library's slow
// reference transforms, for quality comparisons), --describe-transforms (code one small
// still, print the transforms that coded it, "forward_dct NAME" and "inverse_dct NAME",
// and exit).

#include "encode/worker_protocol.h"
#include "mpegworker/channel.h"
#include "mpegworker/fatal_error.h"
#include "mpegworker/still_encoding.h"
#include "mpegworker/stills_multiplexing.h"
#include "platform/heap_reuse.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

using namespace tellavine::mpegworker;

namespace {

struct Settings {
    int jobs = 400;
    long residentBytes = 192L * 1024 * 1024;
    DctChoice dct = DctChoice::Fast;
    bool describeTransforms = false;
};

Settings settingsFrom(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reference-dct") == 0) {
            settings.dct = DctChoice::Reference;
            continue;
        }
        if (std::strcmp(argv[i], "--describe-transforms") == 0) {
            settings.describeTransforms = true;
            continue;
        }
        if (i + 1 == argc) break;
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--job-budget") == 0 && value > 0) settings.jobs = static_cast<int>(value);
        if (std::strcmp(argv[i], "--memory-budget-mb") == 0 && value > 0) settings.residentBytes = value * 1024 * 1024;
        ++i;
    }
    return settings;
}

// Codes one grey 352 x 288 still, then prints the transforms that coded it.
int describeTransforms(DctChoice dct) {
    EncodeStillRequest grey;
    grey.width = 352;
    grey.height = 288;
    grey.luma.assign(352 * 288, 128);
    grey.blueChroma.assign(176 * 144, 128);
    grey.redChroma.assign(176 * 144, 128);
    silenceLibraryLog();
    encodeStillPicture(grey, dct);
    const auto names = activeTransforms();
    std::printf("forward_dct %s\ninverse_dct %s\n", names.forward.c_str(), names.inverse.c_str());
    return 0;
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long totalPages = 0, residentPages = 0;
    statm >> totalPages >> residentPages;
    return residentPages * ::sysconf(_SC_PAGESIZE);
}

Reply runJob(const std::vector<std::uint8_t>& payload, DctChoice dct) {
    Reply reply;
    const auto kind = payloadKind(payload);
    if (kind == MessageKind::EncodeStill) {
        if (const auto request = decodeEncodeStill(payload)) {
            reply.data = encodeStillPicture(*request, dct);
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
    tellavine::reuseLargeBlocksInHeap();
    const auto settings = settingsFrom(argc, argv);
    if (settings.describeTransforms) return describeTransforms(settings.dct);
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
        auto reply = runJob(*payload, settings.dct);
        std::fflush(stdout);
        reply.retiring = jobs >= settings.jobs || residentBytes() > settings.residentBytes;
        if (!writePayload(replies, encodeReply(reply))) return 0;
        if (reply.retiring) return 0;
    }
}
