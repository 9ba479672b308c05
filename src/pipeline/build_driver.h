#pragma once
// The build driver: the worker that turns the project into a Video CD. It runs the
// menu stage, then the slide stage, creates the image sink, has disc assembly describe
// the disc, and lets the authoring object write every sector into the sink.
//
// Threads: runBuild runs on its own worker thread and reads the project and options
// without locks (the modal progress window keeps the user from editing). The only
// state shared both ways is the job's cancel event; progress goes out as posted
// messages. The job is shared so that it outlives a progress window that closes early.

#include "project/build_job.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace tellavine {

// Where the sectors go: a CUE/BIN pair or the recorder feed. Opaque to the driver.
class BuildSink {
public:
    virtual ~BuildSink() = default;
    // True once a recorder feed runs behind the sink: it reports the burn's outcome itself.
    virtual bool recorderReports() const { return false; }
};

// The authoring object as the driver sees it once disc assembly has described the disc.
class DiscWriter {
public:
    virtual ~DiscWriter() = default;
    // Lays the disc out; the image's size in sectors.
    virtual std::int32_t beginOutput() = 0;
    // Formats every sector into the sink; false when the image could not be written
    // completely (failed or cancelled). Posts its own completion message.
    virtual bool writeImage(BuildSink& sink, BuildJob& job) = 0;
    virtual void endOutput() = 0;
};

// The stages and services a build runs, in the order runBuild calls them.
class BuildPipeline {
public:
    virtual ~BuildPipeline() = default;
    virtual bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs) = 0;
    virtual bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs) = 0;
    // nullptr when the sink cannot be created.
    virtual std::unique_ptr<BuildSink> createImageSink(BuildJob& job, const BuildInputs& inputs) = 0;
    // nullptr when the disc cannot be described; disc assembly has then shown the
    // message and posted WM_BUILD_FAILED itself.
    virtual std::unique_ptr<DiscWriter> assembleDisc(BuildJob& job, const BuildInputs& inputs,
                                                     BuildSink& sink) = 0;
};

// Runs one build to its end: 0 when the image was written completely, -1 on failure.
int runBuild(BuildJob& job, const BuildInputs& inputs, BuildPipeline& pipeline);

// Starts runBuild on a new worker thread. `finished` (optional) is called on that
// thread with the result. The caller decides whether to join or detach.
std::thread startBuildThread(std::shared_ptr<BuildJob> job, BuildInputs inputs,
                             std::shared_ptr<BuildPipeline> pipeline,
                             std::function<void(int result)> finished = {});

}  // namespace tellavine
