#pragma once
// The libraries' fatal-error path. mjpegtools reports a fatal condition by calling
// mjpeg_error_exit1, which would log and exit. The worker defines that function itself:
// the formatted message goes back to the engine as a FatalError reply, then the worker
// exits, since the library's state is not usable after it.

namespace tellavine::mpegworker {

// Where the fatal reply is written (the engine's channel).
void setFatalReplyChannel(int fd);

// Sends a FatalError reply with `message` and ends the process.
[[noreturn]] void failJob(const char* message);

// Discards the libraries' log messages (information, warnings, errors).
void silenceLibraryLog();

}  // namespace tellavine::mpegworker
