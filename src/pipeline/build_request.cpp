#include "pipeline/build_request.h"

#include "compose/menu_template.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "project/project_file.h"

#include <filesystem>

namespace tellavine {

std::shared_ptr<BuildJob> BuildRequest::makeJob() const {
    auto job = std::make_shared<BuildJob>();
    job->itemsPerPage = inputs.project ? inputs.project->itemsPerPage() : 0;
    job->albumCount = inputs.project ? inputs.project->albumCount() : 0;
    job->cuePath = cuePath;
    job->binPath = binPath;
    return job;
}

std::string imagePathProblem(const std::string& cuePath) {
    if (cuePath.empty()) return "Please input the image file name.";
    if (!endsWithIgnoreCase(cuePath, ".cue") || cuePath.size() <= 4 || cuePath.back() == '/' ||
        cuePath[cuePath.size() - 5] == '/') {
        return "The image file name is invalid, it must have a .cue extension.";
    }
    std::error_code ec;
    const auto folder = std::filesystem::absolute(cuePath, ec).lexically_normal().parent_path();
    if (!std::filesystem::is_directory(folder, ec)) return "The folder of " + cuePath + " does not exist.";
    return {};
}

std::string emptyProjectProblem(const Project& project) {
    if (project.albumCount() == 0) {
        return "The project has no album. Please add an album with photos before making the disc.";
    }
    if (project.totalPhotoCount() == 0) {
        return "No album of the project has a photo. Please add photos to an album before making the disc.";
    }
    return {};
}

BuildRequest makeBuildRequest(const AppSettings& settings, Project& project, const BuildOverrides& overrides,
                              const std::string& programDir, EngineServices services) {
    BuildRequest request;
    // A disc without a photo shows an empty menu; nothing is written for it.
    if (const auto problem = emptyProjectProblem(project); !problem.empty()) {
        request.error = problem;
        return request;
    }
    if (overrides.templatePath) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(programFilePath(programDir, *overrides.templatePath), ec)) {
            request.error = "There is no menu template " + *overrides.templatePath + " in " + programDir + ".";
            return request;
        }
        MenuSettings menu = project.menu();
        menu.templatePath = *overrides.templatePath;
        project.setMenu(menu);
    }
    // The page size as the menu pages are drawn: a template without album items falls
    // back to the classic one there, so the build counts pages the same way.
    std::string notice;
    project.setItemsPerPage(templateItemsPerPage(programDir, project.menu().templatePath, &notice));
    if (!notice.empty()) request.notices.push_back(notice);

    DiscOptions options = discOptionsFromSettings(settings);
    if (overrides.tvStandard) options.tvStandard = *overrides.tvStandard;
    if (overrides.aspectCorrection) options.aspectCorrection = *overrides.aspectCorrection;
    if (overrides.tvCropping) options.tvCropping = *overrides.tvCropping;
    if (overrides.volumeLabel) options.volumeLabel = truncateUtf8(*overrides.volumeLabel, kMaxTextLength);
    if (overrides.includePhotoFiles) options.includePhotoFiles = *overrides.includePhotoFiles;
    if (overrides.includeAudioFiles) options.includeAudioFiles = *overrides.includeAudioFiles;
    if (overrides.speedIndex) options.speedIndex = *overrides.speedIndex;
    if (overrides.burnProof) options.burnProof = *overrides.burnProof;
    options.simulate = overrides.simulate;
    // A test run always goes to a recorder.
    options.outputTarget = overrides.simulate ? OutputTarget::Recorder : overrides.outputTarget;
    options.recorderIndex = overrides.recorderIndex;

    if (options.outputTarget == OutputTarget::ImageFile) {
        if (const auto problem = imagePathProblem(overrides.imagePath); !problem.empty()) {
            request.error = problem;
            return request;
        }
        options.imagePath = overrides.imagePath;
        request.cuePath = overrides.imagePath;
        request.binPath = binPathForCue(overrides.imagePath);
    }
    request.recording.speedIndex = options.speedIndex;
    request.recording.simulate = options.simulate;
    request.recording.burnProof = options.burnProof;

    BuildInputs& inputs = request.inputs;
    inputs.project = &project;
    inputs.options = options;
    const std::string& tempDir = overrides.tempDir ? *overrides.tempDir : settings.tempDir;
    inputs.tempDir = withTrailingSeparator(tempDir.empty() ? appFolders().defaultTempDir : tempDir);
    if (!makeSureFolderExists(inputs.tempDir)) {
        request.error = "Cannot create the temporary folder " + inputs.tempDir + ".";
        return request;
    }
    inputs.programDir = programDir;
    inputs.services = std::move(services);
    return request;
}

}  // namespace tellavine
