#pragma once
// Command-line parsing for tellavine-cli: a command word, then its options.

#include <optional>
#include <string>
#include <vector>

namespace tellavine::cli {

enum ExitStatus { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct BuildCommand {
    std::string projectPath;
    std::string cuePath;
    std::optional<bool> pal;
    std::optional<int> aspect;  // 0 none, 1 4:3, 2 16:9
    std::optional<int> crop;
    std::optional<std::string> label;
    bool noPhotoFiles = false;
    bool noAudioFiles = false;
    std::optional<std::string> templatePath;
    std::optional<std::string> tempDir;
    bool yes = false;  // answer Yes to questions (overwrite the image)
};

struct InspectCommand {
    std::string cuePath;
    bool json = false;
    std::string extractDir;  // write every file and the MPEG track there
};

struct ParsedCommand {
    enum class Kind { Help, Version, Build, Inspect, Usage } kind = Kind::Usage;
    std::string helpTopic;
    std::string error;  // for Usage
    BuildCommand build;
    InspectCommand inspect;
};

ParsedCommand parseCommandLine(const std::vector<std::string>& arguments);
std::string usageText();

}  // namespace tellavine::cli
