#include "support/child_process.h"

#include "support/temp_dir.h"

#include <chrono>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tellavine::testing {

namespace {

// Reads what is there without blocking; false at end of file.
bool drainInto(int fd, std::string& output) {
    char buffer[4096];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return got < 0;  // EAGAIN: open but empty for now; 0: end of file
    }
}

}  // namespace

// The output comes through a pipe that is polled, so a trigger acts within a moment of
// its text being written: the stage it aims at may last only a few tens of milliseconds.
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const RunOptions& options) {
    RunResult result;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return result;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        if (options.captureStandardError) ::dup2(ends[1], STDERR_FILENO);
        if (options.fileSizeLimit) {
            // Writes past the limit then fail with EFBIG instead of killing the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit), static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
#if !defined(__SANITIZE_ADDRESS__)
        if (options.memoryLimit) {
            const rlimit limit{static_cast<rlim_t>(*options.memoryLimit), static_cast<rlim_t>(*options.memoryLimit)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
#endif
        if (options.obeyFolderPermissions) {
            // Dropped from the bounding set so that exec does not give them back to root.
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    const int output = ends[0];
    if (child < 0) {
        ::close(output);
        return result;
    }
    ::fcntl(output, F_SETFL, O_NONBLOCK);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    int status = 0;
    bool open = true;
    while (true) {
        if (open) {
            pollfd readable{output, POLLIN, 0};
            ::poll(&readable, 1, 20);
            open = drainInto(output, result.output);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (options.trigger && !result.triggered &&
            result.output.find(options.trigger->whenOutputHas) != std::string::npos) {
            result.triggered = true;
            options.trigger->act(child);
        }
        // A helper process of the child may still hold the pipe: the child's exit ends the run.
        if (::waitpid(child, &status, WNOHANG) == child) {
            drainInto(output, result.output);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
    }
    ::close(output);
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    if (!options.keepOutputIn.empty()) writeFile(options.keepOutputIn, result.output);
    return result;
}

RunResult runShell(const std::string& commandLine, const RunOptions& options) {
    return runProgram("/bin/sh", {"-c", commandLine}, options);
}

std::string shellOutput(const std::string& commandLine) {
    RunOptions options;
    options.captureStandardError = false;
    return runShell(commandLine, options).output;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace tellavine::testing
