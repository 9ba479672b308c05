#include "cli/build_command.h"

#include "pipeline/disc_estimate.h"
#include "pipeline/build_request.h"
#include "pipeline/disc_pipeline.h"
#include "pipeline/recorder_session.h"
#include "cli/build_input_checks.h"
#include "cli/interrupt_pipe.h"
#include "cli/project_source.h"
#include "cli/terminal_progress.h"
#include "compose/menu_template.h"
#include "platform/cd_geometry.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "project/messages.h"
#include "project/project_commands.h"
#include "project/settings.h"
#include "project/strings.h"
#include "project/text_catalog.h"
#include "recorder/disc_utilities.h"
#include "recorder/recorder_devices.h"
#include "recorder/sgio_transport.h"

#include <cstdio>
#include <filesystem>
#include <thread>

namespace tellavine::cli {
namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "tellavine-cli: %s\n", message.c_str());
    return kExitFailure;
}

BuildOverrides overridesOf(const BuildCommand& command, OutputTarget target) {
    BuildOverrides overrides;
    if (command.pal) overrides.tvStandard = *command.pal ? TvStandard::PAL : TvStandard::NTSC;
    if (command.aspect) overrides.aspectCorrection = static_cast<AspectCorrection>(*command.aspect);
    overrides.tvCropping = command.crop;
    overrides.volumeLabel = command.label;
    if (command.noPhotoFiles) overrides.includePhotoFiles = false;
    if (command.noAudioFiles) overrides.includeAudioFiles = false;
    overrides.templatePath = command.templatePath;
    overrides.tempDir = command.tempDir;
    overrides.speedIndex = command.speedIndex;
    overrides.burnProof = command.burnProof;
    overrides.simulate = command.simulate;
    overrides.outputTarget = target;
    if (target == OutputTarget::ImageFile && !command.cuePath.empty()) {
        std::error_code ec;
        overrides.imagePath = std::filesystem::absolute(command.cuePath, ec).lexically_normal().string();
    }
    return overrides;
}

// Loads settings and the project (from its file, or made from a folder) and makes the
// build request; an error text on failure.
std::string prepare(const BuildCommand& command, BuildOverrides overrides, PreparedBuild& build) {
    CliSession session;
    if (auto problem = startSession(session, command.yes); !problem.empty()) return problem;
    build.settings = session.settings;
    build.services = session.services;
    Project& project = build.project;
    prepareProject(project, session);
    if (auto problem = readProjectSource(project, command.projectPath, command.folder, session); !problem.empty()) {
        return problem;
    }
    build.request = makeBuildRequest(build.settings, project, overrides, session.programDir, build.services);
    if (!build.request.ok()) return build.request.error;
    const std::string templatePath = programFilePath(session.programDir, project.menu().templatePath);
    if (auto problem = menuTemplateProblem(templatePath); !problem.empty()) return problem;
    for (const std::string& notice : build.request.notices) build.services.showText(notice);
    build.job = build.request.makeJob();
    return {};
}

// Blocks until the running work signals its end; each interrupt cancels the job.
void waitCancellingOnInterrupt(BuildJob& job, InterruptPipe& interrupts) {
    while (interrupts.waitForWake() == InterruptPipe::Wake::Interrupt) {
        if (!job.cancelled()) {
            std::fprintf(stderr, "\ntellavine-cli: %s\n", translated("cancelling...").c_str());
            job.cancelEvent->set();
        }
    }
}

// Runs the build on its worker thread with terminal progress; Ctrl+C cancels it. The
// progress view tells how it ended (after the recorder feed, when burning).
std::shared_ptr<TerminalProgress> runWithProgress(PreparedBuild& build, InterruptPipe& interrupts) {
    auto progress = std::make_shared<TerminalProgress>(*build.job, build.request.inputs.options.simulate, stderr);
    build.job->window.attach(progress);
    auto worker = startBuildThread(build.job, build.request.inputs, makeDiscPipeline(build.request.recorder),
                                   [&interrupts](int) { interrupts.notifyFinished(); });
    waitCancellingOnInterrupt(*build.job, interrupts);
    worker.join();
    return progress;
}

// How the run ended: a build the interrupt stopped says so; one that had already
// finished when the interrupt came is reported as it ended.
int reportEnd(const ProgressView& view, const InterruptPipe& interrupts, const std::string& failure) {
    if (view.succeeded) return kExitSuccess;
    if (interrupts.interrupted()) return fail(translated("cancelled."));
    return fail(view.done ? view.status : failure);
}

}  // namespace

std::string prepareBuild(const BuildCommand& command, OutputTarget target, PreparedBuild& build) {
    const BuildOverrides overrides = overridesOf(command, target);
    // A mistyped image name is told before any work.
    if (target == OutputTarget::ImageFile) {
        if (auto problem = imagePathProblem(overrides.imagePath); !problem.empty()) return problem;
        // A FIFO there would block the writer; a device or folder is never an image.
        const auto problem = imageOutputProblem(overrides.imagePath, binPathForCue(overrides.imagePath));
        if (!problem.empty()) return problem;
    }
    return prepare(command, overrides, build);
}

int runBuildCommand(const BuildCommand& command) {
    std::error_code ec;
    PreparedBuild build;
    if (const auto error = prepareBuild(command, OutputTarget::ImageFile, build); !error.empty()) return fail(error);
    // An existing image is only replaced when the user said so.
    const std::string& cuePath = build.request.cuePath;
    if (std::filesystem::exists(cuePath, ec) &&
        build.services.showText(translated("Disc image file has already existed, do you want to overwrite and continue?"),
                                PromptButtons::YesNo) != PromptAnswer::Yes) {
        return fail(fillArguments(translated("not overwriting %1 (use --yes to overwrite)."), {cuePath}));
    }

    InterruptPipe interrupts;
    const ProgressView view = runWithProgress(build, interrupts)->view();
    build.job->window.detach();
    if (const int status = reportEnd(view, interrupts, tableText(IDS_PROCESSING_ERROR)); status != kExitSuccess) {
        return status;
    }
    std::printf("%s\n%s\n", build.job->cuePath.c_str(), build.job->binPath.c_str());
    return kExitSuccess;
}

int runBurnCommand(const BuildCommand& command) {
    PreparedBuild build;
    if (const auto error = prepareBuild(command, OutputTarget::Recorder, build); !error.empty()) return fail(error);
    const int writingMode = command.writingMode.value_or(build.settings.driver);
    std::string error;
    auto session = RecorderSession::open(command.device, writingMode, error, build.services.prompt);
    if (!session) return fail(error);
    if (const auto* device = session->device()) {
        std::fprintf(stderr, "%s (%s)\n", deviceStatusText(*device).c_str(), device->devicePath.c_str());
    }

    // The disc must be blank (a written CD-RW may be erased) and large enough.
    EraseJob erase;
    erase.driver = &session->driver();
    std::int64_t freeSectors = 0;
    if (!checkDiscBeforeRecording(session->driver(), *build.services.prompt, [&] { runEraseJob(erase); },
                                  freeSectors)) {
        return fail(translated("no blank disc in the recorder."));
    }
    const DiscOptions& options = build.request.inputs.options;
    EstimateOptions estimate;
    estimate.includePhotoFiles = options.includePhotoFiles;
    estimate.includeAudioFiles = options.includeAudioFiles;
    estimate.tvStandard = options.tvStandard;
    // Asked at a terminal, "quit burning now?" would be answered No by default and burn a
    // disc that cannot hold the project; the tool refuses instead.
    const std::int64_t neededSectors = estimateDiscSectors(build.project, estimate);
    if (!discHasRoom(freeSectors, neededSectors)) {
        return fail(fillArguments(translated("the disc is too small for the project: it needs %1 sectors, the disc has %2."),
                                 {std::to_string(neededSectors + kPregapFrames), std::to_string(freeSectors)}));
    }

    build.request.recorder = session->prepareBurn(build.request.recording);

    InterruptPipe interrupts;  // held until the disc is finished: an interrupt then must not kill us
    const auto progress = runWithProgress(build, interrupts);
    // The feed goes on writing queued sectors after the build thread has ended; an
    // interrupt while it finishes the disc still cancels it.
    std::thread finisher([&] {
        session->finishBurn();
        interrupts.notifyFinished();
    });
    waitCancellingOnInterrupt(*build.job, interrupts);
    finisher.join();
    build.job->window.detach();
    return reportEnd(progress->view(), interrupts, translated("The burning process failed."));
}

int runDeviceCommand(ParsedCommand::Kind kind, const DeviceCommand& command) {
    const auto prompt = std::make_shared<ConsolePrompt>(command.yes ? PromptAnswer::Yes : PromptAnswer::No);
    if (kind == ParsedCommand::Kind::Devices) {
        std::string error;
        auto session = RecorderSession::open(command.device, 0, error, prompt);
        if (!session) return fail(error + translated(" (the emulated recorder is always there: -d emulated:FILE)"));
        if (!command.device.empty()) {
            const auto* device = session->device();
            std::printf("%s\t%s\n", device->devicePath.c_str(), deviceStatusText(*device).c_str());
            return kExitSuccess;
        }
        // Every writer of the machine, not only the first one the session opened.
        SgioTransport machine;
        machine.initialise(0, true);
        for (int i = 0; i < machine.writerCount(); ++i) {
            const ScsiDeviceRecord& writer = machine.writer(i);
            std::printf("%s\t%s\n", writer.devicePath.c_str(), deviceStatusText(writer).c_str());
        }
        return kExitSuccess;
    }
    std::string error;
    auto session = RecorderSession::open(command.device, 0, error, prompt);
    if (!session) return fail(error);
    BaseDriver& driver = session->driver();
    if (kind == ParsedCommand::Kind::Eject || kind == ParsedCommand::Kind::CloseTray) {
        const bool eject = kind == ParsedCommand::Kind::Eject;
        if (!driver.loadOrEject(eject)) return fail(eject ? translated("the tray did not open.") : translated("the tray did not close."));
        return kExitSuccess;
    }
    if (const std::string refusal = eraseRefusal(driver); !refusal.empty()) return fail(refusal);
    if (!command.yes &&
        prompt->showText(translated("All data on the CD-RW disc will be erased. Do you want to continue?"), PromptButtons::YesNo) !=
            PromptAnswer::Yes) {
        return fail(translated("not erasing (use --yes to erase)."));
    }
    EraseJob erase;
    erase.driver = &driver;
    erase.method = command.fullErase ? EraseMethod::Full : EraseMethod::Quick;
    if (const EraseOutcome outcome = runEraseJob(erase); !outcome.erased) return fail(outcome.failure);
    bool blank = false;
    std::int64_t freeSectors = 0;
    if (!driver.readDiscStatus(blank, freeSectors) || !blank) return fail(translated("the disc could not be erased."));
    std::printf("%s\n", fillArguments(translated("The disc is blank (%1 sectors free)."), {std::to_string(freeSectors)}).c_str());
    return kExitSuccess;
}

}  // namespace tellavine::cli
