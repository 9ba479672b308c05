#pragma once
// The record of one build and the inputs the build thread reads. A BuildJob is made
// per build by the burn page (or the CLI) and outlives its progress window.

#include "platform/sink_owner.h"
#include "project/messages.h"
#include "project/model.h"

#include <string>

namespace tellavine {

struct BuildJob : SinkOwner {
    std::int32_t itemsPerPage = 0;
    std::int32_t albumCount = 0;
    std::string cuePath;  // empty when burning to the recorder
    std::string binPath;  // cuePath with ".cue" replaced by ".bin"
};

// What the build thread reads besides the job. The project and options are not copied:
// the modal progress window keeps the user from changing them during the build.
struct BuildInputs {
    Project* project = nullptr;  // captions drawn during the build write their position back
    DiscOptions options;
    std::string tempDir;     // the build's private copy, ends in '/'
    std::string programDir;  // data files (avseq01.*, temp_x.*, template/), ends in '/'
    EngineServices services;  // message boxes and run log of the front end that started it
};

// The BIN path for a CUE path: ".cue" (any letter case) replaced by ".bin", or ".bin"
// appended when the path does not end in ".cue".
std::string binPathForCue(const std::string& cuePath);

}  // namespace tellavine
