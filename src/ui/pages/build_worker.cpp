#include "ui/pages/build_worker.h"

#include <QPointer>

namespace tellavine::ui {

void BuildWorker::start(std::shared_ptr<BuildJob> job, BuildInputs inputs, std::shared_ptr<BuildPipeline> pipeline) {
    if (thread_.joinable()) thread_.join();  // only when a caller skipped whenIdle
    // The worker outlives the thread (its destructor joins), so the thread may queue the
    // call; the UI thread's own event loop delivers it.
    thread_ = startBuildThread(std::move(job), std::move(inputs), std::move(pipeline), [this](int result) {
        QMetaObject::invokeMethod(this, [this, result] { threadEnded(result); }, Qt::QueuedConnection);
    });
}

void BuildWorker::whenIdle(QObject* context, std::function<void()> then) {
    if (!running()) {
        then();
        return;
    }
    waiting_.push_back({QPointer<QObject>(context), context != nullptr, std::move(then)});
}

void BuildWorker::threadEnded(int result) {
    if (thread_.joinable()) thread_.join();  // the thread has returned from its last step
    std::vector<Waiting> waiting;
    waiting.swap(waiting_);
    emit finished(result);
    for (auto& next : waiting) {
        // A continuation may start a new build; the rest then wait for that one.
        if (running()) {
            waiting_.push_back(std::move(next));
            continue;
        }
        if (!next.hasContext || next.context) next.then();
    }
}

BuildWorker::~BuildWorker() {
    // The program ends: the window has waited for the build (closing waits), so this
    // join only finds a thread that is returning.
    if (thread_.joinable()) thread_.join();
}

}  // namespace tellavine::ui
