#include "mpegworker/fatal_error.h"

#include "encode/worker_protocol.h"
#include "mpegworker/channel.h"

#include <mjpeg_logging.h>

#include <cstdarg>
#include <cstdio>
#include <unistd.h>

namespace tellavine::mpegworker {
namespace {

int fatalReplyFd = -1;

void discardLogMessage(log_level_t, const char*) {}

}  // namespace

void setFatalReplyChannel(int fd) { fatalReplyFd = fd; }

void failJob(const char* message) {
    Reply reply;
    reply.status = ReplyStatus::FatalError;
    reply.message = message;
    reply.retiring = true;
    if (fatalReplyFd >= 0) writePayload(fatalReplyFd, encodeReply(reply));
    ::_exit(3);
}

void silenceLibraryLog() { mjpeg_log_set_handler(discardLogMessage); }

}  // namespace tellavine::mpegworker

// Replaces the library's version (the executable's definition is the one the shared
// libraries bind to). The message is cut to 1023 characters, its line ended.
extern "C" void mjpeg_error_exit1(const char format[], ...) {
    char message[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(message, sizeof message - 1, format, arguments);
    va_end(arguments);
    if (length >= 0) {
        const auto end = static_cast<std::size_t>(length) < sizeof message - 2
                             ? static_cast<std::size_t>(length)
                             : sizeof message - 2;
        message[end] = '\n';
        message[end + 1] = '\0';
    } else {
        std::snprintf(message, sizeof message, "%s\n", format);
    }
    tellavine::mpegworker::failJob(message);
}
