#include "encode/menu_stage.h"

#include "compose/menu_page.h"
#include "encode/multiplexer.h"
#include "encode/music_stage.h"
#include "encode/slide_stage.h"
#include "encode/still_encoder.h"
#include "imaging/codec.h"
#include "platform/text.h"
#include "project/messages.h"

#include <cstdio>

namespace tellavine {
namespace {

constexpr int kSecondsPerMenuStill = 4;

// The menu pages draw a background that cannot be read as no background at all; the
// user is told which file, and why, instead of finding a bare menu on the disc.
void warnIfBackgroundUnusable(const BuildInputs& inputs) {
    const std::string& path = inputs.project->menu().backgroundPicturePath;
    if (path.empty()) return;
    const PictureLoad load = loadPictureReduced(path, 1);
    if (load.picture.valid()) return;
    const std::string warning =
        formatText("The menu background picture %s cannot be used (%s); the menu pages are drawn without it.",
                   path.c_str(), load.error.c_str());
    inputs.services.log(warning);
    inputs.services.showText(warning);
}

}  // namespace

bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs) {
    const Project& project = *inputs.project;
    const std::string& temp = inputs.tempDir;
    const std::string musicPath = project.menu().musicPath;
    const std::string mp2Path = temp + "bkmusic.mp2";
    const bool hasMusic = !musicPath.empty();

    if (hasMusic) {
        inputs.services.log(musicPath);
        if (!encodeMenuMusic(job, inputs, mp2Path, musicPath)) return false;
        inputs.services.log("End of encode menu music.");
    }

    warnIfBackgroundUnusable(inputs);
    const int perPage = job.itemsPerPage;
    const int pages = menuPageCount(job.albumCount, perPage);
    const std::string stillPath = temp + "temp_d.m1v";
    for (int n = 1; n <= pages; ++n) {
        MenuFrameRequest request;
        request.project = &project;
        request.programDir = inputs.programDir;
        request.page = n - 1;
        request.standard = inputs.options.tvStandard;
        request.aspect = inputs.options.aspectCorrection;
        request.cropPercent = inputs.options.tvCropping;
        {
            const StillFrame frame = composeMenuFrame(request);
            const StillPicture picture = stillPictureOf(frame);
            inputs.services.log(formatText("Encode menu_%d file %s", n, stillPath.c_str()));
            if (!frame.valid() ||
                !okOrReported(encodeStill(picture, stillPath, stillFormatOf(inputs.options), StillWrite::Create),
                              inputs.services)) {
                inputs.services.log(formatText("Fail of Encoding menu_%d file %s", n, stillPath.c_str()));
                return false;
            }
            inputs.services.log(formatText("End of Encoding menu_%d file %s", n, stillPath.c_str()));
        }

        inputs.services.log("multiplex menu files.");
        std::vector<std::string> inputsOfPage{stillPath, stockStillPath(inputs)};
        if (hasMusic) inputsOfPage.push_back(mp2Path);
        StillSequenceOptions options;
        options.secondsPerStill = kSecondsPerMenuStill;
        options.displayName = formatText("menu page %d", n);
        if (!okOrReported(multiplexStillSequence(formatText("%smenu_%02d.mpg", temp.c_str(), n), inputsOfPage, options),
                          inputs.services)) {
            return false;
        }
        std::remove(stillPath.c_str());
    }
    if (hasMusic) std::remove(mp2Path.c_str());
    return true;
}

}  // namespace tellavine
