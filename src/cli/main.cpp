// tellavine-cli: the command-line front end of the engine.
#include "cli/build_command.h"
#include "cli/cli_options.h"
#include "cli/project_command.h"

#include <cstdio>
#include <string>
#include <vector>

#ifndef TELLAVINE_VERSION
#define TELLAVINE_VERSION "0.0.0"
#endif

namespace tellavine::cli {
int runInspectCommand(const InspectCommand& command);
}

int main(int argc, char** argv) {
    using namespace tellavine::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommand parsed = parseCommandLine(arguments);
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
    std::fprintf(stderr, "tellavine-cli: %s\nTry 'tellavine-cli %s'.\n", parsed.error.c_str(), help.c_str());
    return kExitUsage;
}
