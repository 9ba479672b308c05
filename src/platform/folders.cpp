#include "platform/folders.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>

#ifndef TELLAVINE_INSTALL_DATADIR
#define TELLAVINE_INSTALL_DATADIR "/usr/local/share/tellavine"
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
    if (const char* value = std::getenv(variable); value && *value == '/') {
        return withTrailingSeparator(value);
    }
    const char* home = std::getenv("HOME");
    return withTrailingSeparator(std::string(home && *home ? home : "/tmp") + "/" + homeRelative);
}

}  // namespace

FolderEnvironment currentFolderEnvironment() {
    FolderEnvironment environment;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    environment.executableDir = ec ? std::string("./") : withTrailingSeparator(exe.parent_path().string());
    environment.installedDataDir = withTrailingSeparator(TELLAVINE_INSTALL_DATADIR);
    environment.xdgConfigHome = environmentFolder("XDG_CONFIG_HOME", ".config");
    environment.xdgCacheHome = environmentFolder("XDG_CACHE_HOME", ".cache");
    environment.isWritable = folderIsWritable;
    return environment;
}

AppFolders resolveAppFolders(const FolderEnvironment& environment) {
    AppFolders folders;
    folders.programDir = holdsProgramData(environment.executableDir) ||
                                 !holdsProgramData(environment.installedDataDir)
                             ? environment.executableDir
                             : environment.installedDataDir;
    if (environment.isWritable && environment.isWritable(folders.programDir)) {
        folders.settingsDir = folders.programDir;
        folders.defaultTempDir = folders.programDir + "Temp/";
    } else {
        folders.settingsDir = environment.xdgConfigHome + "tellavine/";
        folders.defaultTempDir = environment.xdgCacheHome + "tellavine/Temp/";
        makeSureFolderExists(folders.settingsDir);
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

}  // namespace tellavine
