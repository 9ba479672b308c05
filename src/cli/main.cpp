// tellavine-cli: the command-line front end of the engine.
#include "cli/build_command.h"
#include "cli/cli_options.h"
#include "cli/project_command.h"
#include "platform/folders.h"
#include "platform/heap_reuse.h"
#include "project/language.h"
#include "project/text_catalog.h"

#include <cstdio>
#include <string>
#include <vector>

#ifndef TELLAVINE_VERSION
#define TELLAVINE_VERSION "0.0.0"
#endif

namespace tellavine::cli {
int runInspectCommand(const InspectCommand& command);
}

namespace {

// Chooses the language of the messages; false (with a message) for an unknown --language.
bool chooseMessageLanguage(const std::string& option) {
    const std::string& dataDir = tellavine::appFolders().programDir;
    if (!option.empty() && !tellavine::languageAvailable(option, dataDir)) {
        std::fprintf(stderr, "tellavine-cli: --language: no texts for '%s' (there are en and de).\n", option.c_str());
        return false;
    }
    tellavine::useLanguage(tellavine::startUpLanguage(option, tellavine::appFolders()), dataDir);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tellavine::cli;
    tellavine::reuseLargeBlocksInHeap();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommand parsed = parseCommandLine(arguments);
    if (!chooseMessageLanguage(parsed.language)) return kExitUsage;
    switch (parsed.kind) {
        case ParsedCommand::Kind::Help:
            std::fputs(parsed.helpText.c_str(), stdout);
            return kExitSuccess;
        case ParsedCommand::Kind::Version:
            std::printf("tellavine-cli %s\n", TELLAVINE_VERSION);
            return kExitSuccess;
        case ParsedCommand::Kind::New:
            return runNewCommand(parsed.create);
        case ParsedCommand::Kind::Build:
            return runBuildCommand(parsed.build);
        case ParsedCommand::Kind::Burn:
            return runBurnCommand(parsed.build);
        case ParsedCommand::Kind::Show:
            return runShowCommand(parsed.show);
        case ParsedCommand::Kind::Import:
            return runImportCommand(parsed.import);
        case ParsedCommand::Kind::Inspect:
            return runInspectCommand(parsed.inspect);
        case ParsedCommand::Kind::Devices:
        case ParsedCommand::Kind::Erase:
        case ParsedCommand::Kind::Eject:
        case ParsedCommand::Kind::CloseTray:
            return runDeviceCommand(parsed.kind, parsed.device);
        case ParsedCommand::Kind::Usage:
            break;
    }
    const std::string help = parsed.command.empty() ? "--help" : parsed.command + " --help";
    std::fprintf(stderr, "tellavine-cli: %s\n%s\n", parsed.error.c_str(),
                 tellavine::fillArguments(tellavine::translated("Try 'tellavine-cli %1'."), {help}).c_str());
    return kExitUsage;
}
