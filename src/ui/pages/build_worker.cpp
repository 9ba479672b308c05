#include "ui/pages/build_worker.h"

#include <QCoreApplication>
#include <QThread>

namespace tellavine::ui {

void BuildWorker::start(std::shared_ptr<BuildJob> job, BuildInputs inputs, std::shared_ptr<BuildPipeline> pipeline) {
    wait();
    running_->store(true);
    thread_ = startBuildThread(std::move(job), std::move(inputs), std::move(pipeline),
                               [running = running_, result = result_](int value) {
                                   result->store(value);
                                   running->store(false);
                               });
}

BuildWorker::~BuildWorker() {
    wait();
}

void BuildWorker::wait() {
    if (!thread_.joinable()) return;
    // The build's messages and message boxes go on; clicks and keys wait, so that no
    // command can start another wait (or replace the project) meanwhile.
    while (running_->load()) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(5);
    }
    if (thread_.joinable()) thread_.join();
}

}  // namespace tellavine::ui
