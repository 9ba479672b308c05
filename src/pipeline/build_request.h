#pragma once
// One build request: what the command-line tool and the burn page both turn into a
// build. The settings give the defaults, the project what is on the disc, and the front
// end's overrides (command-line options, the burn page's controls) what the user chose
// for this disc. Both front ends call makeBuildRequest, so a project and its settings
// give the same build whichever starts it.
//
//     BuildRequest request = makeBuildRequest(settings, project, overrides, programDir, services);
//     if (!request.ok()) ...tell request.error...
//     for (auto& notice : request.notices) ...tell it...
//     auto job = request.makeJob();
//     auto thread = startBuildThread(job, request.inputs, makeDiscPipeline(request.recorder));

#include "project/build_job.h"
#include "project/settings.h"
#include "recorder/recording_options.h"
#include "vcd/recorder_hooks.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tellavine {

// What the user chose for this disc beyond the settings; unset fields keep the settings.
struct BuildOverrides {
    std::optional<TvStandard> tvStandard;
    std::optional<AspectCorrection> aspectCorrection;
    std::optional<int> tvCropping;
    std::optional<std::string> volumeLabel;
    std::optional<bool> includePhotoFiles;
    std::optional<bool> includeAudioFiles;
    std::optional<std::string> templatePath;  // relative to the program folder, as projects keep it
    std::optional<std::string> tempDir;
    OutputTarget outputTarget = OutputTarget::ImageFile;
    std::string imagePath;  // the .cue file, image output
    int recorderIndex = 0;
    std::optional<int> speedIndex;
    std::optional<bool> burnProof;
    bool simulate = false;
};

struct BuildRequest {
    BuildInputs inputs;               // what the stages read; inputs.options is the disc's
    std::string cuePath;              // image output: the CUE file and its BIN
    std::string binPath;
    RecordingOptions recording;       // recorder output
    std::shared_ptr<vcd::RecorderHooks> recorder;  // recorder output: set once the drive is prepared
    std::vector<std::string> notices;  // to tell the user before the build starts
    std::string error;                // why no build can start; empty when one can

    bool ok() const { return error.empty(); }
    // A new record for a build of this request.
    std::shared_ptr<BuildJob> makeJob() const;
};

// The disc image name a user typed: it must end in ".cue" (any letter case) and name a
// file in an existing folder; an empty name asks for one. Empty when acceptable.
std::string imagePathProblem(const std::string& cuePath);

// Why the project cannot make a disc at all (no album, or no photo in any album), as
// the message that says what to add; empty when it can.
std::string emptyProjectProblem(const Project& project);

// Turns settings, project and overrides into the build's inputs. Sets the project's
// template (when overridden) and its items per page. The temporary folder is created.
BuildRequest makeBuildRequest(const AppSettings& settings, Project& project, const BuildOverrides& overrides,
                              const std::string& programDir, EngineServices services);

}  // namespace tellavine
