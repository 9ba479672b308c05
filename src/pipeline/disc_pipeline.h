#pragma once
// The real build pipeline: menu and slide stages, image sink or recorder feed, disc
// assembly and the authoring object. Front ends start builds with it:
//
//     auto job = std::make_shared<BuildJob>();   // fill window, cuePath, binPath, ...
//     auto worker = startBuildThread(job, inputs, makeDiscPipeline(), onFinished);
//
// A build whose parts are not available in this program fails at its first stage with
// the build-failed message.

#include "pipeline/build_driver.h"

#include <memory>

namespace tellavine {

std::shared_ptr<BuildPipeline> makeDiscPipeline();

}  // namespace tellavine
