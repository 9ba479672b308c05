#pragma once
// The engine's side of the MPEG worker process (tellavine-mpegworker, see
// worker_protocol.h). The client starts the worker on first use, sends one request at a
// time and waits for its reply within a time-out. A worker that cannot be started, dies,
// hangs past the time-out or answers nonsense is stopped and reaped, the job is
// reported as failed with a message saying so, and the next job starts a fresh worker.
// The worker also leaves on its own after a fatal library error and when its memory
// budget is spent.
//
// Threads: run() may be called from any thread; one lock inside serialises jobs.

#include "encode/worker_protocol.h"

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tellavine {

struct MpegWorkerOptions {
    // Empty: "tellavine-mpegworker" beside the running program, or installed in libexec.
    std::string executablePath;
    std::chrono::milliseconds jobTimeout{std::chrono::minutes(2)};
    // A worker leaves after this many jobs, or once its resident size passes the memory
    // budget, whichever comes first; the next job starts a fresh one. The still encoder
    // library keeps about 1.5 MB of every still it encodes: a budget near the engine's
    // own size (about 35 MB building an album of camera photos) keeps a long build's
    // peak memory flat, for a fresh worker's few milliseconds every 8 to 10 stills (no
    // measurable cost on a 100-photo build).
    int jobsPerWorker = 400;
    int workerMemoryBudgetMb = 32;
};

class MpegWorkerClient {
public:
    explicit MpegWorkerClient(MpegWorkerOptions options = {});
    ~MpegWorkerClient();
    MpegWorkerClient(const MpegWorkerClient&) = delete;
    MpegWorkerClient& operator=(const MpegWorkerClient&) = delete;

    // Sends one request payload and returns the worker's reply. Every failure of the
    // worker itself comes back as a FatalError reply with a message.
    mpegworker::Reply run(const std::vector<std::uint8_t>& request);

    // The running worker's process id, 0 when none runs.
    pid_t workerProcessId() const;
    // How many workers this client has started so far.
    int workersStarted() const;
    // The largest peak resident size, in KB, of the workers that have ended so far.
    long largestEndedWorkerKb() const;

private:
    bool startWorker(std::string& failure);
    void stopWorker();
    // Waits up to `grace` for the worker to leave by itself, then kills it. A worker that
    // does not go even then (stuck in the kernel) is collected later, never waited for.
    void reapWorker(std::chrono::milliseconds grace);
    // True (and the worker collected) when the idle worker has already ended, killed by
    // the system perhaps; the next job then starts a new one instead of failing.
    bool idleWorkerEnded();
    void collectStuckWorkers();
    std::string describeEnd();

    MpegWorkerOptions options_;
    mutable std::mutex mutex_;
    pid_t pid_ = 0;    // guarded by mutex_
    int socket_ = -1;  // guarded by mutex_
    int started_ = 0;  // guarded by mutex_
    int lastStatus_ = 0;         // guarded by mutex_
    long largestWorkerKb_ = 0;   // guarded by mutex_
    std::vector<pid_t> stuck_;   // killed but not yet gone; guarded by mutex_
};

// The worker executable beside the running program.
std::string defaultMpegWorkerPath();

// The process-wide client that encodeStill and the multiplexer use unless given one.
MpegWorkerClient& sharedMpegWorker();

}  // namespace tellavine
