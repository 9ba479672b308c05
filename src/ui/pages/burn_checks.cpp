#include "ui/pages/burn_checks.h"

#include "platform/cd_geometry.h"
#include "platform/text.h"
#include "project/build_job.h"

namespace tellavine::ui {

ImagePathCheck checkImagePath(const std::string& typedPath) {
    ImagePathCheck check;
    if (typedPath.empty()) {
        check.message = "Please input the image file name.";
        return check;
    }
    if (!endsWithIgnoreCase(typedPath, ".cue") || typedPath.size() <= 4 || typedPath.back() == '/') {
        check.message = "The image file name is invalid, it must have a .cue extension.";
        return check;
    }
    check.accepted = true;
    check.cuePath = typedPath;
    check.binPath = binPathForCue(typedPath);
    return check;
}

bool discTooSmall(long long freeSectors, long long neededSectors) {
    return freeSectors < neededSectors + kPregapFrames;
}

}  // namespace tellavine::ui
