#pragma once
// What the command-line build checks before it starts: it runs unattended, so anything
// the desktop program would show and go on with (a damaged project, unreadable
// settings) stops it with a message instead. Each function returns that message, or an
// empty text when all is well.

#include "project/project_file.h"

#include <string>

namespace tellavine::cli {

// The settings file exists and cannot be read as settings (a FIFO, /dev/zero, too large).
std::string settingsFileProblem(const std::string& settingsPath);

// The project was not loaded whole: it could not be read, or it is damaged or truncated.
std::string projectReadProblem(const std::string& projectPath, ProjectReadResult result, const std::string& damage);

// The project's menu template exists and cannot be read as a template.
std::string menuTemplateProblem(const std::string& templatePath);

// The image's .cue or .bin names something that is not a regular file (a FIFO would
// block the writer, a device or folder is never an image).
std::string imageOutputProblem(const std::string& cuePath, const std::string& binPath);

}  // namespace tellavine::cli
