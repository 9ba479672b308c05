#pragma once
#include "cli/cli_options.h"

namespace tellavine::cli {

// Authors the image of `command`; the exit status.
int runBuildCommand(const BuildCommand& command);

}  // namespace tellavine::cli
