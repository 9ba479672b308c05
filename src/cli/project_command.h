#pragma once
// The commands that make, list and convert projects: new, show and import.

#include "cli/cli_options.h"

namespace tellavine::cli {

// Makes a project file from a folder of photos; the exit status.
int runNewCommand(const NewCommand& command);
// Lists a project, as text or as JSON; the exit status.
int runShowCommand(const ShowCommand& command);
// Writes a project file from JSON; nothing is written when the JSON is not a project.
int runImportCommand(const ImportCommand& command);

}  // namespace tellavine::cli
