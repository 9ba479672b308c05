#pragma once
// The real build pipeline: menu and slide stages, image sink or recorder feed, disc
// assembly and the authoring object. Front ends start builds with it (see
// build_request.h):
//
//     auto job = request.makeJob();   // then attach the progress window
//     auto worker = startBuildThread(job, request.inputs, makeDiscPipeline(request.recorder), onFinished);
//
// A build whose parts are not available in this program fails at its first stage with
// the build-failed message.

#include "pipeline/build_driver.h"
#include "vcd/recorder_hooks.h"

#include <memory>

namespace tellavine {

// `recorder`: where a build for the recorder (OutputTarget::Recorder) sends its sectors;
// without it such a build fails when the recording would start.
std::shared_ptr<BuildPipeline> makeDiscPipeline(std::shared_ptr<vcd::RecorderHooks> recorder = nullptr);

}  // namespace tellavine
