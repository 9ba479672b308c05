#include "project/project_commands.h"

#include "platform/text.h"
#include "project/messages.h"
#include "project/strings.h"
#include "project/text_catalog.h"

namespace tellavine {

void newProject(Project& project) {
    project.clear();
    project.setFilePath("");
    project.setModified(false);
}

ProjectReadResult openProjectFile(Project& project, const std::string& path, const std::string& programDir,
                                  ProjectReader reader, std::string* damage) {
    project.clear();
    project.setFilePath(path);
    ProjectReadResult result = ProjectReadResult::Loaded;
    if (reader == ProjectReader::Binary || endsWithIgnoreCase(path, ".OVP")) {
        result = loadProject(project, path, programDir, damage);
    } else if (endsWithIgnoreCase(path, ".ORX")) {
        result = loadOldProject(project, path, damage);
    }
    if (result == ProjectReadResult::OpenFailed || result == ProjectReadResult::Invalid ||
        result == ProjectReadResult::Unsupported) {
        project.setFileUnreadable();
    }
    project.setModified(false);
    return result;
}

bool saveNeedsFileName(const Project& project) {
    return project.filePath().empty() || endsWithIgnoreCase(project.filePath(), ".ORX") || project.fileUnreadable();
}

bool saveProjectToFile(Project& project, const std::string& path) {
    project.setFilePath(path);
    if (!saveProject(project, path)) return false;  // the work stays marked as unsaved
    project.setModified(false);
    return true;
}

bool confirmDiscardingChanges(Project& project, const std::function<bool()>& save) {
    if (!project.modified()) return true;
    if (project.services().showMessage(IDS_SAVE_MODIFIED, PromptButtons::YesNo) == PromptAnswer::No) return true;
    return save();
}

std::string projectWindowTitle(const Project& project) {
    if (project.filePath().empty()) return "Tellavine - [" + translated("New Project") + "]";
    std::string name = fileNamePart(project.filePath());
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return formatText("Tellavine - [%s]", name.c_str());
}

}  // namespace tellavine
