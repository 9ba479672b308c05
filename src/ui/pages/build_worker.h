#pragma once
// The one build thread of the program. The progress window may close (a confirmed
// Cancel) while the thread is still finishing; the worker keeps the thread so that a
// new build or the end of the program waits for it instead of racing it for the
// project. Used on the UI thread. Waiting keeps the UI's events flowing, because the
// build thread may itself be waiting for a message box on the UI thread.

#include "pipeline/build_driver.h"
#include "vcd/recorder_hooks.h"

#include <functional>

#include <atomic>
#include <memory>
#include <thread>

namespace tellavine::ui {

// Makes the pipeline of one build; `recorder` is the drive's feed when it burns.
using PipelineFactory = std::function<std::shared_ptr<BuildPipeline>(std::shared_ptr<vcd::RecorderHooks> recorder)>;

class BuildWorker {
public:
    BuildWorker() = default;
    BuildWorker(const BuildWorker&) = delete;
    BuildWorker& operator=(const BuildWorker&) = delete;
    ~BuildWorker();

    // Waits for any earlier build, then starts this one.
    void start(std::shared_ptr<BuildJob> job, BuildInputs inputs, std::shared_ptr<BuildPipeline> pipeline);
    bool running() const { return running_->load(); }
    // The result of the last finished build (0 success, -1 failure).
    int lastResult() const { return result_->load(); }
    // Cancels nothing; waits (serving the UI's events) until the thread has ended.
    void wait();

private:
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> running_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<int>> result_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace tellavine::ui
