#pragma once
// Runs a program or a shell command as a child process (tellavine-cli, the fixture
// scripts, independent readers such as ffprobe, cd-info and isoinfo) and captures what it
// prints. For the robustness suites a file-size limit can be set, and a step can be taken
// once the output shows a given text (send SIGINT, delete a photo...).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tellavine::testing {

struct OutputTrigger {
    std::string whenOutputHas;          // text the output must show first
    std::function<void(int pid)> act;   // run once, with the child's process id
};

struct RunOptions {
    // Standard error is captured with standard output, interleaved; when false it goes
    // to the test's own standard error and only standard output is captured.
    bool captureStandardError = true;
    std::optional<long long> fileSizeLimit;  // RLIMIT_FSIZE in bytes; SIGXFSZ is ignored
    // RLIMIT_AS in bytes, so a run that allocates without end fails instead of taking the
    // machine's memory; not set under AddressSanitizer, whose shadow memory needs more.
    std::optional<long long> memoryLimit;
    std::optional<OutputTrigger> trigger;
    // Folder permissions hold even for root: the child gives up the capabilities that
    // override them (a no-op for other users, for whom they hold anyway).
    bool obeyFolderPermissions = false;
    int timeoutSeconds = 600;  // then the child is killed
    std::string keepOutputIn;  // a file for the output, for a look after a failure
};

struct RunResult {
    int exitStatus = -1;   // -1 when the child did not exit normally
    int signal = 0;        // the signal that ended it, if any
    bool triggered = false;
    std::string output;
    bool succeeded() const { return exitStatus == 0; }
};

// Runs `program` with `arguments` (no shell).
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options = {});
// Runs `commandLine` with /bin/sh.
RunResult runShell(const std::string& commandLine, const RunOptions& options = {});
// Only standard output of `commandLine`, standard error left on the terminal.
std::string shellOutput(const std::string& commandLine);

// `text` as one shell word.
std::string shellQuoted(const std::string& text);

}  // namespace tellavine::testing
