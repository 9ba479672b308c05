#pragma once
// Where the program finds its data files and keeps its settings, log and temporaries.
//
// The program directory holds the data files (template/, avseq01.*, temp_x.*, help/):
// the executable's folder when it has them (a build tree), else the installed share
// folder. Settings, run log and the default temporary folder live in the program
// directory when it is writable, otherwise under the XDG config and cache folders.
// Every folder path ends in '/'.

#include <functional>
#include <string>

namespace tellavine {

struct AppFolders {
    std::string programDir;      // data files
    std::string settingsDir;     // config.ini and orx_log.txt
    std::string defaultTempDir;  // default "TempDir"

    std::string settingsFile() const { return settingsDir + "config.ini"; }
    std::string runLogFile() const { return settingsDir + "orx_log.txt"; }
};

// What folder resolution looks at; currentFolderEnvironment() fills it from the process.
struct FolderEnvironment {
    std::string executableDir;     // folder of the running program
    std::string installedDataDir;  // <prefix>/share/tellavine/
    std::string xdgConfigHome;     // $XDG_CONFIG_HOME, else $HOME/.config/
    std::string xdgCacheHome;      // $XDG_CACHE_HOME, else $HOME/.cache/
    std::function<bool(const std::string& folder)> isWritable;
};

FolderEnvironment currentFolderEnvironment();
AppFolders resolveAppFolders(const FolderEnvironment& environment);

// True when `folder` holds the program's data files.
bool holdsProgramData(const std::string& folder);

// `folder` with a trailing '/' added when it has none (empty stays empty).
std::string withTrailingSeparator(std::string folder);

// Creates the folder and every missing parent; true when it exists afterwards.
bool makeSureFolderExists(const std::string& folder);

// The process-wide folders, resolved once from the running program, unless a front end
// or a test set them first.
const AppFolders& appFolders();
void setAppFolders(const AppFolders& folders);

}  // namespace tellavine
