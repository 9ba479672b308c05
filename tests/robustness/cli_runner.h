#pragma once
// Runs the real tellavine-cli as a child process for the robustness suites: its
// standard output and error are read as one stream (and kept in a file), a file-size limit can be set, and a step can
// be taken once the output shows a given text (send SIGINT, delete a photo...).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tellavine::testing {

struct CliTrigger {
    std::string whenOutputHas;          // text the output must show first
    std::function<void(int pid)> act;   // run once, with the child's process id
};

struct CliOptions {
    std::optional<long long> fileSizeLimit;  // RLIMIT_FSIZE in bytes; SIGXFSZ is ignored
    // RLIMIT_AS in bytes, so a run that allocates without end fails instead of taking the
    // machine's memory; not set under AddressSanitizer, whose shadow memory needs more.
    std::optional<long long> memoryLimit;
    std::optional<CliTrigger> trigger;
    // Folder permissions hold even for root: the child gives up the capabilities that
    // override them (a no-op for other users, for whom they hold anyway).
    bool obeyFolderPermissions = false;
    int timeoutSeconds = 240;
};

struct CliResult {
    int exitStatus = -1;   // -1 when the child did not exit normally
    int signal = 0;        // the signal that ended it, if any
    bool triggered = false;
    std::string output;    // standard output and error, interleaved
};

// Runs `program` with `arguments`; the output file is `outputPath`.
CliResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& outputPath, const CliOptions& options = {});

}  // namespace tellavine::testing
