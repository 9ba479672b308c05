#include "project/build_job.h"

#include "platform/text.h"

namespace tellavine {

std::string binPathForCue(const std::string& cuePath) {
    if (endsWithIgnoreCase(cuePath, ".cue")) return cuePath.substr(0, cuePath.size() - 4) + ".bin";
    return cuePath + ".bin";
}

}  // namespace tellavine
