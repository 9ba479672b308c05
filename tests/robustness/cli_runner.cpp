#include "robustness/cli_runner.h"

#include "support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tellavine::testing {

CliResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& outputPath, const CliOptions& options) {
    CliResult result;
    const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (output < 0) return result;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // In the asan build the program reports leaks at exit; fontconfig's lifetime caches
    // are not ours (see lsan_suppressions.txt). Set before fork: the child only execs.
    ::setenv("LSAN_OPTIONS", "suppressions=" TELLAVINE_SOURCE_DIR "/tests/robustness/lsan_suppressions.txt", 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        if (options.fileSizeLimit) {
            // Writes past the limit then fail with EFBIG instead of killing the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit), static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.obeyFolderPermissions) {
            // Dropped from the bounding set so that exec does not give them back to root.
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output);
    if (child < 0) return result;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    int status = 0;
    while (true) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        if (options.trigger && !result.triggered &&
            readFile(outputPath).find(options.trigger->whenOutputHas) != std::string::npos) {
            result.triggered = true;
            options.trigger->act(child);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.output = readFile(outputPath);
    return result;
}

}  // namespace tellavine::testing
