#pragma once
// The slide encoding stage: every album becomes the MPEG segments the disc plays. An
// album without music gives one mixed still per photo (the photo at 704 pixels beside
// the stock 352-pixel still); an album with music gives one still sequence over its
// music, each photo at both resolutions, shown for the album's play time.
//
// Runs on the build thread; tests the cancel event before each photo and posts
// WM_SLIDE_PROGRESS (done, total) before each photo. Photos after the current one are
// prepared ahead on other threads, but log lines, messages, progress and files follow
// the photo order as if each photo were done in turn.

#include "compose/still_frame.h"
#include "project/build_job.h"

#include <string>

namespace tellavine {

struct SlideStageOptions {
    // MPEG workers encoding stills side by side: 1 encodes on the build thread while
    // the next photo is composed; 0 takes one per core the process may run on, at most 2.
    int encodingWorkers = 0;
};

bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs, const SlideStageOptions& stageOptions = {});

// The stock normal-resolution still of the build's TV standard.
std::string stockStillPath(const BuildInputs& inputs);

}  // namespace tellavine
