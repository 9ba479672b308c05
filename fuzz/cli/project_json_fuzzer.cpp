// `import` over arbitrary input: the text is read as a project in JSON; whatever it
// accepts is written as a project file and read back, and must come back the same.

#include "cli/project_json.h"
#include "project/project_file.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tellavine;
    Project project;
    std::string error;
    if (!cli::projectFromJson(project, std::string(reinterpret_cast<const char*>(data), size), error)) return 0;
    const auto bytes = serializeProject(project);
    Project again;
    if (loadProjectBytes(again, bytes, "/nonexistent/", nullptr, MissingTemplate::Keep) != ProjectReadResult::Loaded ||
        serializeProject(again) != bytes) {
        std::abort();  // import accepted what the project file cannot hold
    }
    return 0;
}
