#pragma once
// The one build thread of the program. The progress window may close (a confirmed
// Cancel) while the thread is still finishing; the worker keeps the thread so that a
// new build, a file command or the end of the program waits for it instead of racing
// it for the project. Used on the UI thread.
//
// Waiting never blocks the UI thread and never runs a nested event loop: a command that
// must wait hands its continuation to whenIdle(), which runs it from the ordinary event
// loop once the thread has ended. (A blocking wait could deadlock: the build thread may
// itself be waiting for a message box on the UI thread.)

#include "pipeline/build_driver.h"
#include "vcd/recorder_hooks.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace tellavine::ui {

// Makes the pipeline of one build; `recorder` is the drive's feed when it burns.
using PipelineFactory = std::function<std::shared_ptr<BuildPipeline>(std::shared_ptr<vcd::RecorderHooks> recorder)>;

class BuildWorker : public QObject {
    Q_OBJECT
public:
    explicit BuildWorker(QObject* parent = nullptr) : QObject(parent) {}
    ~BuildWorker() override;

    // Starts a build; the caller has made sure none runs (whenIdle).
    void start(std::shared_ptr<BuildJob> job, BuildInputs inputs, std::shared_ptr<BuildPipeline> pipeline);
    bool running() const { return thread_.joinable(); }
    // Runs `then` at once when no build runs; otherwise once the running build's thread
    // has ended, in the order asked, unless `context` has gone by then.
    void whenIdle(QObject* context, std::function<void()> then);

signals:
    // The build thread has ended and is joined; `result` is runBuild's.
    void finished(int result);

private:
    void threadEnded(int result);

    struct Waiting {
        QPointer<QObject> context;
        bool hasContext;
        std::function<void()> then;
    };
    std::thread thread_;
    std::vector<Waiting> waiting_;
};

}  // namespace tellavine::ui
