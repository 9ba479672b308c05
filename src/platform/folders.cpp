#include "platform/folders.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>

// Where the installation keeps its data and helpers, relative to its bin folder.
#ifndef TELLAVINE_DATADIR_FROM_BINDIR
#define TELLAVINE_DATADIR_FROM_BINDIR "../share/tellavine"
#endif
#ifndef TELLAVINE_HELPERDIR_FROM_BINDIR
#define TELLAVINE_HELPERDIR_FROM_BINDIR "../libexec/tellavine"
#endif

namespace tellavine {
namespace fs = std::filesystem;

std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool holdsProgramData(const std::string& folder) {
    std::error_code ec;
    for (const char* marker : {"template", "avseq01.npal", "avseq01.ntsc", "temp_x.npal"}) {
        if (fs::exists(fs::path(folder) / marker, ec)) return true;
    }
    return false;
}

bool makeSureFolderExists(const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

namespace {

bool folderIsWritable(const std::string& folder) {
    if (access(folder.c_str(), W_OK) != 0) return false;
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY)) return false;
    return true;
}

std::string environmentFolder(const char* variable, const char* homeRelative) {
    // The XDG rules ignore relative values.
    if (const char* value = std::getenv(variable); value && *value == '/') {
        return withTrailingSeparator(value);
    }
    const char* home = std::getenv("HOME");
    return withTrailingSeparator(std::string(home && *home ? home : "/tmp") + "/" + homeRelative);
}

std::string executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./") : withTrailingSeparator(exe.parent_path().string());
}

std::string besideExecutable(const std::string& executableDir, const char* relative) {
    return withTrailingSeparator((fs::path(executableDir) / relative).lexically_normal().string());
}

void useXdgFolders(AppFolders& folders, const FolderEnvironment& environment) {
    folders.settingsDir = environment.xdgConfigHome + "tellavine/";
    folders.stateDir = environment.xdgStateHome + "tellavine/";
    folders.cacheDir = environment.xdgCacheHome + "tellavine/";
    folders.defaultTempDir = folders.cacheDir + "Temp/";
    makeSureFolderExists(folders.settingsDir);
    makeSureFolderExists(folders.stateDir);
}

}  // namespace

FolderEnvironment currentFolderEnvironment() {
    FolderEnvironment environment;
    environment.executableDir = executableFolder();
    environment.installedDataDir = besideExecutable(environment.executableDir, TELLAVINE_DATADIR_FROM_BINDIR);
    environment.xdgConfigHome = environmentFolder("XDG_CONFIG_HOME", ".config");
    environment.xdgStateHome = environmentFolder("XDG_STATE_HOME", ".local/state");
    environment.xdgCacheHome = environmentFolder("XDG_CACHE_HOME", ".cache");
    environment.isWritable = folderIsWritable;
    return environment;
}

AppFolders resolveAppFolders(const FolderEnvironment& environment) {
    AppFolders folders;
    const bool installed = !holdsProgramData(environment.executableDir) &&
                           holdsProgramData(environment.installedDataDir);
    if (installed) {
        folders.programDir = environment.installedDataDir;
        useXdgFolders(folders, environment);
        return folders;
    }
    folders.programDir = environment.executableDir;
    if (environment.isWritable && environment.isWritable(folders.programDir)) {
        folders.settingsDir = folders.programDir;
        folders.stateDir = folders.programDir;
        folders.defaultTempDir = folders.programDir + "Temp/";
        folders.cacheDir = folders.defaultTempDir;
    } else {
        useXdgFolders(folders, environment);
    }
    return folders;
}

namespace {
std::mutex foldersMutex;
std::optional<AppFolders> processFolders;  // guarded by foldersMutex
}  // namespace

const AppFolders& appFolders() {
    std::lock_guard lock(foldersMutex);
    if (!processFolders) processFolders = resolveAppFolders(currentFolderEnvironment());
    return *processFolders;
}

void setAppFolders(const AppFolders& folders) {
    std::lock_guard lock(foldersMutex);
    processFolders = folders;
}

std::string helperProgramPath(const std::string& name) {
    const std::string executableDir = executableFolder();
    std::error_code ec;
    if (fs::exists(executableDir + name, ec)) return executableDir + name;
    const std::string installed = besideExecutable(executableDir, TELLAVINE_HELPERDIR_FROM_BINDIR) + name;
    return fs::exists(installed, ec) ? installed : executableDir + name;
}

}  // namespace tellavine
