#pragma once
// The File menu's flows over the project: New, Open, Save, Save As, the command-line
// file, the save question and the window title. The UI picks files and shows pages;
// these functions do the rest.

#include "project/model.h"
#include "project/project_file.h"

#include <functional>
#include <string>

namespace tellavine {

enum class ProjectReader { ByExtension, Binary };

// New Project: no albums, no file, not modified; the menu settings stay.
void newProject(Project& project);

// Open: clears the project, remembers `path`, reads it with the reader its extension
// selects (".OVP" binary, ".ORX" old; anything else reads nothing) or, for the command
// line, always the binary reader. The project is unmodified afterwards in every case.
// `damage` as loadProject gives it.
ProjectReadResult openProjectFile(Project& project, const std::string& path, const std::string& programDir,
                                  ProjectReader reader, std::string* damage = nullptr);

// True when Save must ask for a file name: a new project, or one read from an old
// ".orx" file, which is never overwritten.
bool saveNeedsFileName(const Project& project);

// Save / Save As after the name is known: `path` becomes the project's file and the
// project is written there. The modified flag is cleared only when the write worked.
bool saveProjectToFile(Project& project, const std::string& path);

// When the project is modified, asks "Current project file has been modified.\nDo you
// want to save it?"; Yes runs `save` (false when it failed or was cancelled). True when
// the caller may go on discarding the project.
bool confirmDiscardingChanges(Project& project, const std::function<bool()>& save);

// "Tellavine - [New Project]" or "Tellavine - [<file name without folder and extension>]".
std::string projectWindowTitle(const Project& project);

}  // namespace tellavine
