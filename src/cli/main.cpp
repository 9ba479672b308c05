// tellavine-cli: the command-line front end of the engine.
#include "cli/build_command.h"
#include "cli/cli_options.h"

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
            std::fputs(usageText().c_str(), stdout);
            return kExitSuccess;
        case ParsedCommand::Kind::Version:
            std::printf("tellavine-cli %s\n", TELLAVINE_VERSION);
            return kExitSuccess;
        case ParsedCommand::Kind::Build:
            return runBuildCommand(parsed.build);
        case ParsedCommand::Kind::Inspect:
            return runInspectCommand(parsed.inspect);
        case ParsedCommand::Kind::Usage:
            break;
    }
    std::fprintf(stderr, "tellavine-cli: %s\nTry 'tellavine-cli --help'.\n", parsed.error.c_str());
    return kExitUsage;
}
