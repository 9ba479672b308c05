#include "cli/build_input_checks.h"

#include "platform/profile.h"

#include <sys/stat.h>

namespace tellavine::cli {

std::string settingsFileProblem(const std::string& settingsPath) {
    const std::string problem = profileFileProblem(settingsPath);
    return problem.empty() ? problem : "cannot read the settings file " + settingsPath + ": " + problem + ".";
}

std::string projectReadProblem(const std::string& projectPath, ProjectReadResult result, const std::string& damage) {
    const std::string because = damage.empty() ? "" : ": " + damage;
    switch (result) {
        case ProjectReadResult::Loaded:
            return {};
        case ProjectReadResult::OpenFailed:
            return "cannot read the project file " + projectPath + because + ".";
        case ProjectReadResult::Partial:
            return "the project file " + projectPath + " is damaged" + because +
                   "; not building from part of a project (open it in Tellavine to see what is left).";
        case ProjectReadResult::Invalid:
        case ProjectReadResult::Unsupported:
            break;
    }
    return "cannot use the project file " + projectPath + because + ".";
}

std::string menuTemplateProblem(const std::string& templatePath) {
    const std::string problem = profileFileProblem(templatePath);
    return problem.empty() ? problem : "cannot use the menu template " + templatePath + ": " + problem + ".";
}

std::string imageOutputProblem(const std::string& cuePath, const std::string& binPath) {
    for (const std::string& path : {cuePath, binPath}) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) continue;  // missing: it will be created
        if (!S_ISREG(status.st_mode)) return "cannot write the image to " + path + ": it is not a regular file.";
    }
    return {};
}

}  // namespace tellavine::cli
