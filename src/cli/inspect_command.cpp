#include "cli/cli_options.h"

#include <cstdio>

namespace tellavine::cli {

// Reading images arrives with the Video CD reader; until then the command says so.
int runInspectCommand(const InspectCommand& command) {
    std::fprintf(stderr, "tellavine-cli: inspect is not available in this build (%s).\n", command.cuePath.c_str());
    return kExitFailure;
}

}  // namespace tellavine::cli
