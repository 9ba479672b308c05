#include "cli/project_source.h"

#include "audio/mp3_length.h"
#include "cli/build_input_checks.h"
#include "compose/menu_template.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "project/project_commands.h"
#include "project/text_catalog.h"

#include <filesystem>

namespace tellavine::cli {

std::string startSession(CliSession& session, bool yes) {
    const AppFolders& folders = appFolders();
    if (auto problem = settingsFileProblem(folders.settingsFile()); !problem.empty()) return problem;
    session.settings = loadSettings(folders);
    session.services.prompt = std::make_shared<ConsolePrompt>(yes ? PromptAnswer::Yes : PromptAnswer::No);
    session.services.runLog = std::make_shared<RunLog>(folders.runLogFile(), session.settings.logFile);
    session.programDir = folders.programDir;
    return {};
}

void prepareProject(Project& project, const CliSession& session) {
    project.setServices(session.services);
    project.setDefaultPlayTime(session.settings.waitTime, session.settings.waitTime);
    project.setMusicLengthQuery(audio::measureMp3Length);
    project.setTemplateItemsQuery(
        [programDir = session.programDir](const std::string& path) { return templateItemsPerPage(programDir, path); });
}

std::string readProjectFile(Project& project, const std::string& path, const CliSession& session,
                            MissingTemplate missing) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return fillArguments(translated("cannot read the project file %1%2."), {path, ""});
    project.clear();
    project.setFilePath(path);
    std::string damage;
    const auto read = endsWithIgnoreCase(path, ".orx")
                          ? loadOldProject(project, path, &damage)
                          : loadProject(project, path, session.programDir, &damage, missing);
    project.setModified(false);
    return projectReadProblem(path, read, damage);
}

std::string readProjectSource(Project& project, const std::string& path, const FolderCommand& folder,
                              const CliSession& session) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return makeProjectFromFolder(project, path, folder.options);
    if (folder.given) {
        return fillArguments(translated("--sort, --play-time and --captions make a project from a folder; %1 is not a folder."), {path});
    }
    return readProjectFile(project, path, session);
}

std::string existingFileProblem(const std::string& path, bool yes) {
    std::error_code ec;
    if (yes || !std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return {};
    return fillArguments(translated("not replacing %1 (use --yes to replace it)."), {path});
}

}  // namespace tellavine::cli
