#include "cli/build_input_checks.h"

#include "platform/profile.h"
#include "project/text_catalog.h"

#include <sys/stat.h>

namespace tellavine::cli {

std::string settingsFileProblem(const std::string& settingsPath) {
    const std::string problem = profileFileProblem(settingsPath);
    return problem.empty() ? problem : fillArguments(translated("cannot read the settings file %1: %2."), {settingsPath, problem});
}

std::string projectReadProblem(const std::string& projectPath, ProjectReadResult result, const std::string& damage) {
    const std::string because = damage.empty() ? "" : ": " + damage;  // the reader's own words
    switch (result) {
        case ProjectReadResult::Loaded:
            return {};
        case ProjectReadResult::OpenFailed:
            return fillArguments(translated("cannot read the project file %1%2."), {projectPath, because});
        case ProjectReadResult::Partial:
            return fillArguments(translated("the project file %1 is damaged%2; not building from part of a project (open it in Tellavine to see what is left)."), {projectPath, because});
        case ProjectReadResult::Invalid:
        case ProjectReadResult::Unsupported:
            break;
    }
    return fillArguments(translated("cannot use the project file %1%2."), {projectPath, because});
}

std::string menuTemplateProblem(const std::string& templatePath) {
    const std::string problem = profileFileProblem(templatePath);
    return problem.empty() ? problem : fillArguments(translated("cannot use the menu template %1: %2."), {templatePath, problem});
}

std::string imageOutputProblem(const std::string& cuePath, const std::string& binPath) {
    for (const std::string& path : {cuePath, binPath}) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) continue;  // missing: it will be created
        if (!S_ISREG(status.st_mode)) return fillArguments(translated("cannot write the image to %1: it is not a regular file."), {path});
    }
    return {};
}

}  // namespace tellavine::cli
