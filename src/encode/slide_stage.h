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
#include "encode/frame_prefetcher.h"
#include "encode/mpeg_worker_client.h"
#include "project/build_job.h"

#include <memory>
#include <string>
#include <vector>

namespace tellavine {

struct SlideStageOptions {
    // MPEG workers encoding stills side by side: 1 encodes on the build thread while
    // the next photo is composed; 0 takes one per core the process may run on, at most 2.
    int encodingWorkers = 0;
};

bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs, const SlideStageOptions& stageOptions = {});

// The stage's photo lanes, started ahead of the stage: they decode, compose and encode
// the first photos while the build thread still does the disc menu, so a build's two
// cores are busy from the start. The project must not change until the stage has run
// (the modal progress window sees to that); destroying unused lanes stops them.
class SlidePhotoLanes {
public:
    explicit SlidePhotoLanes(const BuildInputs& inputs, const SlideStageOptions& stageOptions = {});
    FramePrefetcher& frames() { return frames_; }

private:
    std::vector<std::unique_ptr<MpegWorkerClient>> workers_;  // declared first: they outlive the lanes
    FramePrefetcher frames_;
};

// The stage with lanes started ahead for the same project and options.
bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs, SlidePhotoLanes& lanes);

// The stock normal-resolution still of the build's TV standard.
std::string stockStillPath(const BuildInputs& inputs);

}  // namespace tellavine
