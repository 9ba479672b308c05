#pragma once
// Where the program finds its data files and keeps its settings, log and temporaries.
//
// The program directory holds the data files (template/, avseq01.*, temp_x.*, help/):
// the executable's folder when it has them (a build tree), else the share folder of the
// installation the executable sits in (<prefix>/bin/../share/tellavine/), found relative
// to the executable so that an installation can be moved or unpacked anywhere.
//
// A build tree keeps config.ini, the run log and Temp/ beside its programs, as long as
// that folder is writable. An installed program never writes into its prefix: settings
// go to $XDG_CONFIG_HOME/tellavine/, the run log to $XDG_STATE_HOME/tellavine/ and
// temporaries (and the downloaded version file) to $XDG_CACHE_HOME/tellavine/. A
// read-only build tree uses the same folders. Every folder path ends in '/'.

#include <functional>
#include <string>

namespace tellavine {

struct AppFolders {
    std::string programDir;      // data files
    std::string settingsDir;     // config.ini
    std::string stateDir;        // orx_log.txt
    std::string cacheDir;        // files fetched or made again at will (version.ini)
    std::string defaultTempDir;  // default "TempDir"

    std::string settingsFile() const { return settingsDir + "config.ini"; }
    std::string runLogFile() const { return stateDir + "orx_log.txt"; }
};

// What folder resolution looks at; currentFolderEnvironment() fills it from the process.
struct FolderEnvironment {
    std::string executableDir;     // folder of the running program
    std::string installedDataDir;  // <executableDir>/../share/tellavine/ (as installed)
    std::string xdgConfigHome;     // $XDG_CONFIG_HOME, else $HOME/.config/
    std::string xdgStateHome;      // $XDG_STATE_HOME, else $HOME/.local/state/
    std::string xdgCacheHome;      // $XDG_CACHE_HOME, else $HOME/.cache/
    std::function<bool(const std::string& folder)> isWritable;
};

FolderEnvironment currentFolderEnvironment();
// Resolves the folders and creates the settings and state folders when they are the
// XDG ones (the temporary folder is made when the settings are read).
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

// A helper program of ours (the MPEG worker): beside the running program in a build
// tree, else in the installation's <prefix>/libexec/tellavine/.
std::string helperProgramPath(const std::string& name);

}  // namespace tellavine
