#include "encode/mpeg_worker_client.h"

#include "encode/worker_environment.h"
#include "platform/folders.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace tellavine {
namespace {

using Clock = std::chrono::steady_clock;

mpegworker::Reply failedReply(std::string message) {
    mpegworker::Reply reply;
    reply.status = mpegworker::ReplyStatus::FatalError;
    reply.message = std::move(message);
    return reply;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

enum class Transfer { Done, TimedOut, Closed };

Transfer sendAll(int fd, const std::uint8_t* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        pollfd ready{fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, millisecondsLeft(deadline));
        if (polled < 0 && errno == EINTR) continue;
        if (polled == 0) return Transfer::TimedOut;
        if (polled < 0) return Transfer::Closed;
        const auto sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (sent <= 0) return Transfer::Closed;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return Transfer::Done;
}

Transfer receiveAll(int fd, std::uint8_t* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, millisecondsLeft(deadline));
        if (polled < 0 && errno == EINTR) continue;
        if (polled == 0) return Transfer::TimedOut;
        if (polled < 0) return Transfer::Closed;
        const auto got = ::recv(fd, data, size, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return Transfer::Closed;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return Transfer::Done;
}

}  // namespace

std::string defaultMpegWorkerPath() {
    return helperProgramPath("tellavine-mpegworker");
}

MpegWorkerClient& sharedMpegWorker() {
    static MpegWorkerClient client;
    return client;
}

MpegWorkerClient::MpegWorkerClient(MpegWorkerOptions options) : options_(std::move(options)) {
    if (options_.executablePath.empty()) options_.executablePath = defaultMpegWorkerPath();
}

MpegWorkerClient::~MpegWorkerClient() {
    std::lock_guard lock(mutex_);
    // Closing the channel asks the worker to leave; it is killed if it does not.
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    reapWorker(std::chrono::milliseconds(2000));
}

pid_t MpegWorkerClient::workerProcessId() const {
    std::lock_guard lock(mutex_);
    return pid_;
}

int MpegWorkerClient::workersStarted() const {
    std::lock_guard lock(mutex_);
    return started_;
}

long MpegWorkerClient::largestEndedWorkerKb() const {
    std::lock_guard lock(mutex_);
    return largestWorkerKb_;
}

bool MpegWorkerClient::startWorker(std::string& failure) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        failure = "The MPEG worker could not be started: " + std::string(std::strerror(errno)) + "\n";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    // Nothing else is handed on: a worker lives for many jobs, and an inherited file of
    // the build (a deleted temporary WAV, say) would keep its disk space that long.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    auto jobBudget = std::to_string(options_.jobsPerWorker);
    auto memoryBudget = std::to_string(options_.workerMemoryBudgetMb);
    char jobOption[] = "--job-budget";
    char memoryOption[] = "--memory-budget-mb";
    char* arguments[] = {const_cast<char*>(options_.executablePath.c_str()), jobOption, jobBudget.data(),
                         memoryOption, memoryBudget.data(), nullptr};
    // The worker leads a process group of its own, so stopping it also stops anything
    // it started; it still leaves when the engine goes, as its channel closes.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    WorkerEnvironment environment(environ);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, options_.executablePath.c_str(), &actions, &attributes, arguments, environment.block());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (spawned != 0) {
        ::close(ends[0]);
        failure = "The MPEG worker " + options_.executablePath + " could not be started: " +
                  std::strerror(spawned) + "\n";
        return false;
    }
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    pid_ = pid;
    socket_ = ends[0];
    ++started_;
    return true;
}

void MpegWorkerClient::reapWorker(std::chrono::milliseconds grace) {
    if (pid_ == 0) return;
    const auto deadline = Clock::now() + grace;
    int status = 0;
    rusage usage{};
    pid_t reaped = 0;
    while ((reaped = ::wait4(pid_, &status, WNOHANG, &usage)) == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (reaped == 0) {
        ::kill(-pid_, SIGKILL);
        const auto killedBy = Clock::now() + std::chrono::seconds(5);
        while ((reaped = ::wait4(pid_, &status, WNOHANG, &usage)) == 0 && Clock::now() < killedBy)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (reaped == 0) stuck_.push_back(pid_);
    }
    lastStatus_ = reaped == pid_ ? status : SIGKILL;
    if (reaped == pid_) largestWorkerKb_ = std::max(largestWorkerKb_, usage.ru_maxrss);
    pid_ = 0;
}

bool MpegWorkerClient::idleWorkerEnded() {
    if (pid_ == 0) return false;
    int status = 0;
    rusage usage{};
    if (::wait4(pid_, &status, WNOHANG, &usage) != pid_) return false;
    largestWorkerKb_ = std::max(largestWorkerKb_, usage.ru_maxrss);
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    pid_ = 0;
    return true;
}

void MpegWorkerClient::collectStuckWorkers() {
    std::erase_if(stuck_, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

void MpegWorkerClient::stopWorker() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    if (pid_ != 0) ::kill(-pid_, SIGKILL);
    reapWorker(std::chrono::milliseconds(0));
}

std::string MpegWorkerClient::describeEnd() {
    if (WIFSIGNALED(lastStatus_))
        return "The MPEG worker stopped unexpectedly (signal " + std::to_string(WTERMSIG(lastStatus_)) + ").\n";
    if (WIFEXITED(lastStatus_))
        return "The MPEG worker stopped unexpectedly (exit status " + std::to_string(WEXITSTATUS(lastStatus_)) +
               ").\n";
    return "The MPEG worker stopped unexpectedly.\n";
}

mpegworker::Reply MpegWorkerClient::run(const std::vector<std::uint8_t>& request) {
    std::lock_guard lock(mutex_);
    collectStuckWorkers();
    idleWorkerEnded();
    if (pid_ == 0) {
        std::string failure;
        if (!startWorker(failure)) return failedReply(failure);
    }
    const auto deadline = Clock::now() + options_.jobTimeout;
    const auto timedOut = [&] {
        stopWorker();
        const auto seconds = std::chrono::duration<double>(options_.jobTimeout).count();
        char text[160];
        std::snprintf(text, sizeof text, "The MPEG worker did not finish its job within %.1f seconds and was stopped.\n",
                      seconds);
        return failedReply(text);
    };
    const auto died = [&] {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
        reapWorker(std::chrono::milliseconds(1000));
        return failedReply(describeEnd());
    };

    const auto header = mpegworker::frameHeader(static_cast<std::uint32_t>(request.size()));
    auto sent = sendAll(socket_, header.data(), header.size(), deadline);
    if (sent == Transfer::Done) sent = sendAll(socket_, request.data(), request.size(), deadline);
    if (sent == Transfer::TimedOut) return timedOut();
    // A worker that left while taking the request may still have sent a reply.

    std::uint8_t replyHeader[4];
    const auto gotHeader = receiveAll(socket_, replyHeader, sizeof replyHeader, deadline);
    if (gotHeader == Transfer::TimedOut) return timedOut();
    if (gotHeader == Transfer::Closed) return died();
    const auto size = mpegworker::frameSize(replyHeader);
    if (size > mpegworker::kMaxPayloadBytes) {
        stopWorker();
        return failedReply("The MPEG worker sent a malformed reply.\n");
    }
    std::vector<std::uint8_t> payload(size);
    const auto gotPayload = receiveAll(socket_, payload.data(), payload.size(), deadline);
    if (gotPayload == Transfer::TimedOut) return timedOut();
    if (gotPayload == Transfer::Closed) return died();
    auto reply = mpegworker::decodeReply(payload);
    if (!reply) {
        stopWorker();
        return failedReply("The MPEG worker sent a malformed reply.\n");
    }
    if (reply->retiring) {
        ::close(socket_);
        socket_ = -1;
        reapWorker(std::chrono::milliseconds(2000));
    }
    return *reply;
}

}  // namespace tellavine
