// The worker client's handling of workers that misbehave: each failure is reported with
// a message and the next job runs on a fresh worker. Stand-in workers are small shell
// scripts that misbehave on their first start and run the real worker afterwards.

#include "encode/mpeg_worker_client.h"

#include "encode/still_encoder.h"
#include "encode/worker_environment.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace tellavine {
namespace {

using namespace std::chrono_literals;

class MpegWorkerClientTest : public ::testing::Test {
protected:
    // A worker that runs `firstStart` on its first start, the real worker later.
    std::string standInWorker(const std::string& firstStart) {
        const auto path = dir.file("worker.sh");
        testing::writeFile(path, "#!/bin/sh\n"
                                 "if [ ! -e '" + dir.file("started") + "' ]; then\n"
                                 "  touch '" + dir.file("started") + "'\n  " + firstStart + "\nfi\n"
                                 "exec '" + defaultMpegWorkerPath() + "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    EncoderResult encodeOne(MpegWorkerClient& worker) {
        return encodeStill(picture.view(), dir.file("still.m1v"), TvStandard::PAL, StillWrite::Create, worker);
    }

    testing::TempDir dir;
    testing::TestPicture picture = testing::makePicture(352, 288);
};

TEST_F(MpegWorkerClientTest, HangingJobTimesOutAndTheNextJobWorks) {
    MpegWorkerClient worker({standInWorker("sleep 600"), 1500ms});
    const auto started = std::chrono::steady_clock::now();
    const auto result = encodeOne(worker);
    ASSERT_FALSE(result);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(result.error().message, "The MPEG worker did not finish its job within 1.5 seconds and was stopped.\n");
    EXPECT_EQ(worker.workerProcessId(), 0);
    EXPECT_TRUE(encodeOne(worker));
    EXPECT_EQ(worker.workersStarted(), 2);
}

TEST_F(MpegWorkerClientTest, WorkerThatExitsIsReportedAndReplaced) {
    MpegWorkerClient worker({standInWorker("exit 7"), 20s});
    const auto result = encodeOne(worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "The MPEG worker stopped unexpectedly (exit status 7).\n");
    EXPECT_TRUE(encodeOne(worker));
}

TEST_F(MpegWorkerClientTest, WorkerKilledDuringAJobIsReportedAndReplaced) {
    // Takes part of the request, then dies as if killed by the system.
    MpegWorkerClient worker({standInWorker("head -c 100 >/dev/null; kill -KILL $$"), 20s});
    const auto result = encodeOne(worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "The MPEG worker stopped unexpectedly (signal 9).\n");
    EXPECT_TRUE(encodeOne(worker));
}

// The state letter of /proc/PID/stat (R running, S sleeping, Z ended), or 0.
char processState(pid_t pid) {
    const std::string stat = testing::readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && stat.size() > close + 2 ? stat[close + 2] : '\0';
}

TEST_F(MpegWorkerClientTest, RealWorkerKilledMidJobIsReportedAndReplaced) {
    MpegWorkerClient worker(testing::realWorkerOptions());
    ASSERT_TRUE(encodeOne(worker));
    const auto high = testing::makePicture(704, 576);
    // The kill should land while a job is sent or encoded; one that lands between two jobs
    // is quietly replaced (another test), so such a round is tried again.
    EncoderResult result = EncoderResult::success();
    pid_t pid = 0;
    for (int round = 0; round < 10 && result; ++round) {
        pid = worker.workerProcessId();
        ASSERT_NE(pid, 0);
        // Killed once it runs (state R): an idle worker sleeps reading its socket.
        std::thread killer([pid] {
            for (int i = 0; i < 4000 && processState(pid) != 'R'; ++i) std::this_thread::sleep_for(500us);
            ::kill(pid, SIGKILL);
        });
        for (int attempt = 0; attempt < 50 && result && worker.workerProcessId() == pid; ++attempt)
            result = encodeStill(high.view(), dir.file("high.m1v"), TvStandard::PAL, StillWrite::Create, worker);
        killer.join();
    }
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "The MPEG worker stopped unexpectedly (signal 9).\n");
    EXPECT_TRUE(encodeOne(worker));
    EXPECT_NE(worker.workerProcessId(), pid);
}

TEST_F(MpegWorkerClientTest, IdleWorkerKilledBetweenJobsIsReplacedWithoutAFailedJob) {
    MpegWorkerClient worker(testing::realWorkerOptions());
    ASSERT_TRUE(encodeOne(worker));
    const auto pid = worker.workerProcessId();
    ASSERT_EQ(::kill(pid, SIGKILL), 0);  // the system's memory killer, say
    for (int i = 0; i < 500 && processState(pid) != 'Z'; ++i) std::this_thread::sleep_for(10ms);  // gone
    EXPECT_TRUE(encodeOne(worker));
    EXPECT_NE(worker.workerProcessId(), pid);
}

TEST_F(MpegWorkerClientTest, WorkersAreReplacedWhenTheirBudgetIsSpent) {
    auto options = testing::realWorkerOptions();
    options.jobsPerWorker = 2;
    MpegWorkerClient byJobs(options);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(encodeOne(byJobs));
    EXPECT_EQ(byJobs.workersStarted(), 3);

    // A worker past its memory budget leaves after its reply (a 704-wide still alone
    // takes the encoder well past 1 MB).
    options = testing::realWorkerOptions();
    options.workerMemoryBudgetMb = 1;
    MpegWorkerClient byMemory(options);
    const auto high = testing::makePicture(704, 576);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(encodeStill(high.view(), dir.file("high.m1v"), TvStandard::PAL, StillWrite::Create, byMemory));
    EXPECT_EQ(byMemory.workersStarted(), 2);
    EXPECT_EQ(byMemory.workerProcessId(), 0);
}

TEST_F(MpegWorkerClientTest, MissingWorkerExecutableIsReported) {
    MpegWorkerClient worker({dir.file("no-such-worker"), 5s});
    const auto result = encodeOne(worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message,
              "The MPEG worker " + dir.file("no-such-worker") + " could not be started: No such file or directory\n");
    EXPECT_EQ(worker.workerProcessId(), 0);
}

TEST_F(MpegWorkerClientTest, WorkerLeavesWhenTheClientGoes) {
    pid_t pid = 0;
    {
        MpegWorkerClient worker(testing::realWorkerOptions());
        ASSERT_TRUE(encodeOne(worker));
        pid = worker.workerProcessId();
    }
    EXPECT_NE(::kill(pid, 0), 0) << "the worker was reaped";
}

TEST_F(MpegWorkerClientTest, WorkerInheritsOnlyItsStandardStreams) {
    // A file the engine holds open without close-on-exec, as fopen leaves it.
    std::FILE* held = std::fopen(dir.file("held.tmp").c_str(), "wb");
    ASSERT_NE(held, nullptr);
    MpegWorkerClient worker(testing::realWorkerOptions());
    ASSERT_TRUE(encodeOne(worker));
    std::error_code ec;
    std::vector<std::string> inherited;
    const auto fdFolder = "/proc/" + std::to_string(worker.workerProcessId()) + "/fd";
    for (const auto& entry : std::filesystem::directory_iterator(fdFolder, ec)) {
        const int fd = std::stoi(entry.path().filename().string());
        if (fd > STDERR_FILENO) inherited.push_back(std::filesystem::read_symlink(entry.path(), ec).string());
    }
    std::fclose(held);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_EQ(std::count(inherited.begin(), inherited.end(), dir.file("held.tmp")), 0) << inherited.size();
}

struct EnvironmentCase {
    const char* parentTunables;  // nullptr: none
    const char* workerTunables;
};

class WorkerEnvironmentTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(WorkerEnvironmentTest, AsksForHugePagesUnlessTheUserChose) {
    std::vector<std::string> parent = {"PATH=/usr/bin", "LANG=de_DE.UTF-8"};
    if (GetParam().parentTunables) parent.push_back(GetParam().parentTunables);
    std::vector<char*> block;
    for (auto& entry : parent) block.push_back(entry.data());
    block.push_back(nullptr);

    WorkerEnvironment environment(block.data());
    const auto& entries = environment.entries();
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 2), std::vector<std::string>(parent.begin(), parent.begin() + 2));
    EXPECT_EQ(entries.back(), GetParam().workerTunables);
    EXPECT_EQ(entries.size(), 3u);
    char* const* spawned = environment.block();
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_STREQ(spawned[i], entries[i].c_str());
    EXPECT_EQ(spawned[entries.size()], nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Tunables, WorkerEnvironmentTest,
    ::testing::Values(EnvironmentCase{nullptr, "GLIBC_TUNABLES=glibc.malloc.hugetlb=1"},
                      EnvironmentCase{"GLIBC_TUNABLES=", "GLIBC_TUNABLES=glibc.malloc.hugetlb=1"},
                      EnvironmentCase{"GLIBC_TUNABLES=glibc.malloc.arena_max=2",
                                      "GLIBC_TUNABLES=glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
                      EnvironmentCase{"GLIBC_TUNABLES=glibc.malloc.hugetlb=0", "GLIBC_TUNABLES=glibc.malloc.hugetlb=0"}));

TEST(DefaultWorkerPathTest, IsBesideTheRunningProgram) {
    EXPECT_EQ(defaultMpegWorkerPath(), std::string(TELLAVINE_BINARY_DIR) + "/bin/tellavine-mpegworker");
}

}  // namespace
}  // namespace tellavine
