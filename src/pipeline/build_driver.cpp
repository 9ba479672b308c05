#include "pipeline/build_driver.h"

#include "platform/work_folder.h"
#include "platform/numbered_messages.h"
#include "platform/text.h"
#include "project/messages.h"

namespace tellavine {
namespace {

int fail(BuildJob& job) {
    job.window.post(WM_BUILD_FAILED);
    return -1;
}

}  // namespace

int runBuild(BuildJob& job, const BuildInputs& sharedInputs, BuildPipeline& pipeline) {
    sharedInputs.services.log("Begin Encoding...");
    job.imageSectors = 0;
    // Every stage writes fixed file names: into a folder of this build's own, so that
    // nothing planted in a shared temporary folder is followed and two builds never meet.
    const WorkFolder workFolder(sharedInputs.tempDir);
    if (!workFolder.made()) {
        sharedInputs.services.showText(formatText("Cannot create a working folder in the temporary folder %s: %s. Choose another "
                            "temporary folder.", sharedInputs.tempDir.c_str(), workFolder.error().c_str()));
        return fail(job);
    }
    // The stages and disc assembly use this copy throughout, whatever the settings do meanwhile.
    BuildInputs inputs = sharedInputs;
    inputs.tempDir = workFolder.path();

    job.window.post(WM_MENU_ENCODE_BEGIN);
    inputs.services.log("Begin Encoding Menu...");
    if (!pipeline.encodeDiscMenu(job, inputs)) return fail(job);
    inputs.services.log("End of Encoding Menu...");
    job.window.post(WM_MENU_ENCODE_END);

    inputs.services.log("Begin Encoding Slideshow...");
    if (!pipeline.encodeAlbumSlides(job, inputs)) return fail(job);
    inputs.services.log("End of Encoding Slideshow...");

    auto sink = pipeline.createImageSink(job, inputs);
    if (!sink) return fail(job);

    auto writer = pipeline.assembleDisc(job, inputs, *sink);
    if (!writer) return -1;

    job.imageSectors = writer->beginOutput();
    const bool written = writer->writeImage(*sink, job);
    writer->endOutput();
    writer.reset();

    // An image that was not written completely is a failed build; the progress window
    // would otherwise wait for a completion message that never comes. A running recorder
    // feed reports the outcome of the burn itself; one that never started (the disc could
    // not be laid out, no recorder) leaves the report to the driver.
    if (!written && !sink->recorderReports()) return fail(job);
    return 0;
}

std::thread startBuildThread(std::shared_ptr<BuildJob> job, BuildInputs inputs,
                             std::shared_ptr<BuildPipeline> pipeline,
                             std::function<void(int result)> finished) {
    return std::thread([job = std::move(job), inputs = std::move(inputs),
                        pipeline = std::move(pipeline), finished = std::move(finished)] {
        const int result = runBuild(*job, inputs, *pipeline);
        if (finished) finished(result);
    });
}

}  // namespace tellavine
