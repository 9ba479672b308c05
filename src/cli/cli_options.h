#pragma once
// Command-line parsing for tellavine-cli: a command word, then its options. CLI11 does
// the parsing; its exceptions stay inside parseCommandLine, which gives a value.

#include "pipeline/folder_project.h"

#include <optional>
#include <string>
#include <vector>

namespace tellavine::cli {

enum ExitStatus { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

// How a folder becomes a project (new, and build or burn of a folder).
struct FolderCommand {
    FolderProjectOptions options;
    bool given = false;  // --sort, --play-time or --captions was given
};

struct BuildCommand {
    std::string projectPath;  // a project file, or a folder of photos
    std::string cuePath;
    std::optional<bool> pal;
    std::optional<int> aspect;  // 0 none, 1 4:3, 2 16:9
    std::optional<int> crop;
    std::optional<std::string> label;
    bool noPhotoFiles = false;
    bool noAudioFiles = false;
    std::optional<std::string> templatePath;
    std::optional<std::string> tempDir;
    FolderCommand folder;
    bool yes = false;  // answer Yes to questions (overwrite the image, erase a written disc)
    // burn only
    std::string device;  // empty: the first writer found
    std::optional<int> speedIndex;
    bool simulate = false;
    std::optional<bool> burnProof;
    std::optional<int> writingMode;  // 0 auto, 1 MMC, 2 raw
};

struct NewCommand {
    std::string folderPath;
    std::string projectPath;
    std::optional<std::string> templatePath;
    FolderCommand folder;
    bool yes = false;  // replace an existing project file
};

struct ShowCommand {
    std::string projectPath;
    bool json = false;
};

struct ImportCommand {
    std::string jsonPath;
    std::string projectPath;
    bool yes = false;  // replace an existing project file
};

struct DeviceCommand {
    std::string device;
    bool fullErase = false;
    bool yes = false;
};

struct InspectCommand {
    std::string cuePath;
    bool json = false;
    std::string extractDir;  // write every file and the MPEG track there
};

struct ParsedCommand {
    enum class Kind {
        Help, Version, New, Build, Burn, Show, Import, Inspect, Devices, Erase, Eject, CloseTray, Usage
    } kind = Kind::Usage;
    std::string helpText;  // for Help: the general text, or one command's
    std::string error;     // for Usage
    std::string command;   // for Usage: the command whose options were wrong
    std::string language;  // --language, before or after the command word; empty when not given
    BuildCommand build;
    NewCommand create;
    ShowCommand show;
    ImportCommand import;
    InspectCommand inspect;
    DeviceCommand device;
};

ParsedCommand parseCommandLine(const std::vector<std::string>& arguments);
// The general help text (every command).
std::string usageText();

}  // namespace tellavine::cli
