#pragma once
// Where the commands get their settings and projects: config.ini with console message
// boxes, and a project read from its file or made from a folder of photos.

#include "cli/cli_options.h"
#include "project/messages.h"
#include "project/project_file.h"
#include "project/settings.h"

#include <string>

namespace tellavine::cli {

struct CliSession {
    AppSettings settings;
    EngineServices services;
    std::string programDir;
};

// Reads config.ini (as the desktop program would) and sets up console message boxes
// whose questions are answered Yes when `yes`. An error text when the settings file
// cannot be read.
std::string startSession(CliSession& session, bool yes);

// Wires an empty project to the session: message boxes, the default play time, the
// MP3 length query and the template's page size.
void prepareProject(Project& project, const CliSession& session);

// Reads a project file (.orx by its extension, anything else as a binary project). An
// error text unless the whole project was read.
std::string readProjectFile(Project& project, const std::string& path, const CliSession& session,
                            MissingTemplate missing = MissingTemplate::UseClassic);

// Fills `project` from `path`: a folder becomes a project as `new` makes it, anything
// else is read as a project file (folder options are refused for one). An error text.
std::string readProjectSource(Project& project, const std::string& path, const FolderCommand& folder,
                              const CliSession& session);

// The refusal to replace an existing file without --yes; empty when the path is free or
// `yes` was given.
std::string existingFileProblem(const std::string& path, bool yes);

}  // namespace tellavine::cli
