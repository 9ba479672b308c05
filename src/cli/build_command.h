#pragma once
#include "cli/cli_options.h"

namespace tellavine::cli {

// Authors the image of `command`; the exit status.
int runBuildCommand(const BuildCommand& command);
// Burns the project on a recorder; the exit status.
int runBurnCommand(const BuildCommand& command);
// devices, erase, eject, close-tray.
int runDeviceCommand(ParsedCommand::Kind kind, const DeviceCommand& command);

}  // namespace tellavine::cli
