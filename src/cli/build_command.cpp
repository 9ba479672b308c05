#include "cli/build_command.h"

#include "build/disc_pipeline.h"
#include "cli/terminal_progress.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "project/messages.h"
#include "project/project_commands.h"
#include "project/settings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace tellavine::cli {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

int fail(const std::string& message) {
    std::fprintf(stderr, "tellavine-cli: %s\n", message.c_str());
    return kExitFailure;
}

DiscOptions optionsFor(const BuildCommand& command, const AppSettings& settings) {
    DiscOptions options = discOptionsFromSettings(settings);
    if (command.pal) options.tvStandard = *command.pal ? TvStandard::PAL : TvStandard::NTSC;
    if (command.aspect) options.aspectCorrection = static_cast<AspectCorrection>(*command.aspect);
    if (command.crop) options.tvCropping = *command.crop;
    if (command.label) options.volumeLabel = truncateUtf8(*command.label, kMaxTextLength);
    if (command.noPhotoFiles) options.includePhotoFiles = false;
    if (command.noAudioFiles) options.includeAudioFiles = false;
    options.outputTarget = OutputTarget::ImageFile;
    options.simulate = false;
    return options;
}

}  // namespace

int runBuildCommand(const BuildCommand& command) {
    const AppFolders& folders = appFolders();
    AppSettings settings = loadSettings(folders);
    configureRunLog(folders.runLogFile(), settings.logFile);
    installPrompt(std::make_shared<ConsolePrompt>(command.yes ? PromptAnswer::Yes : PromptAnswer::No));

    // The image path: a ".cue" file whose folder exists; an existing image is only
    // replaced when the user said so.
    std::error_code ec;
    const std::string cuePath = std::filesystem::absolute(command.cuePath, ec).lexically_normal().string();
    if (!endsWithIgnoreCase(cuePath, ".cue")) {
        return fail("The image file name is invalid, it must have a .cue extension.");
    }
    if (!std::filesystem::is_directory(std::filesystem::path(cuePath).parent_path(), ec)) {
        return fail("the folder of " + cuePath + " does not exist.");
    }
    if (std::filesystem::exists(cuePath, ec) &&
        showText("Disc image file has already existed, do you want to overwrite and continue?",
                 PromptButtons::YesNo) != PromptAnswer::Yes) {
        return fail("not overwriting " + cuePath + " (use --yes to overwrite).");
    }

    Project project;
    project.setDefaultPlayTime(settings.waitTime, settings.waitTime);
    if (!std::filesystem::is_regular_file(command.projectPath, ec)) {
        return fail("cannot read the project file " + command.projectPath + ".");
    }
    const auto reader = endsWithIgnoreCase(command.projectPath, ".orx") ? ProjectReader::ByExtension
                                                                         : ProjectReader::Binary;
    const auto read = openProjectFile(project, command.projectPath, folders.programDir, reader);
    if (read != ProjectReadResult::Loaded && read != ProjectReadResult::Partial) {
        return fail("cannot use the project file " + command.projectPath + ".");
    }
    if (command.templatePath) {
        if (!std::filesystem::is_regular_file(programFilePath(folders.programDir, *command.templatePath), ec)) {
            return fail("no menu template " + *command.templatePath + " in " + folders.programDir + ".");
        }
        MenuSettings menu = project.menu();
        menu.templatePath = *command.templatePath;
        project.setMenu(menu);
    }
    if (project.itemsPerPage() <= 0) {
        project.setItemsPerPage(readTemplateItemsPerPage(folders.programDir, project.menu().templatePath));
    }

    BuildInputs inputs;
    inputs.project = &project;
    inputs.options = optionsFor(command, settings);
    inputs.options.imagePath = cuePath;
    inputs.tempDir = withTrailingSeparator(command.tempDir.value_or(settings.tempDir));
    if (!makeSureFolderExists(inputs.tempDir)) return fail("cannot create the temporary folder " + inputs.tempDir + ".");
    inputs.programDir = folders.programDir;

    auto job = std::make_shared<BuildJob>();
    job->itemsPerPage = project.itemsPerPage();
    job->albumCount = project.albumCount();
    job->cuePath = cuePath;
    job->binPath = binPathForCue(cuePath);
    auto progress = std::make_shared<TerminalProgress>(*job, false, stderr);
    job->window.attach(progress);

    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
    int result = -1;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    auto worker = startBuildThread(job, inputs, makeDiscPipeline(), [&](int r) {
        std::lock_guard lock(mutex);
        result = r;
        finished = true;
        finishedChanged.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        while (!finished) {
            finishedChanged.wait_for(lock, std::chrono::milliseconds(100));
            if (interrupted && !job->cancelled()) {
                std::fprintf(stderr, "\ntellavine-cli: cancelling...\n");
                job->cancelEvent->set();
            }
        }
    }
    worker.join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    job->window.detach();

    if (interrupted) return fail("cancelled.");
    if (result != 0) {
        const auto view = progress->view();
        return fail(view.done ? view.status : "An error occurred while processing.");
    }
    std::printf("%s\n%s\n", job->cuePath.c_str(), job->binPath.c_str());
    return kExitSuccess;
}

}  // namespace tellavine::cli
