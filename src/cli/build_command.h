#pragma once
#include "cli/cli_options.h"
#include "pipeline/build_request.h"

#include <memory>
#include <string>

namespace tellavine::cli {

// What one build of the tool needs, read from the settings, the project file and the
// options. request.inputs.project points at `project`.
struct PreparedBuild {
    AppSettings settings;
    EngineServices services;
    Project project;
    BuildRequest request;
    std::shared_ptr<BuildJob> job;
};

// Reads config.ini and the project and makes the build request of `command` for the
// image file or the recorder; an error text when no build can start.
std::string prepareBuild(const BuildCommand& command, OutputTarget target, PreparedBuild& build);

// Authors the image of `command`; the exit status.
int runBuildCommand(const BuildCommand& command);
// Burns the project on a recorder; the exit status.
int runBurnCommand(const BuildCommand& command);
// devices, erase, eject, close-tray.
int runDeviceCommand(ParsedCommand::Kind kind, const DeviceCommand& command);

}  // namespace tellavine::cli
