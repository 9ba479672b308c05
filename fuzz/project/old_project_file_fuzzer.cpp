// Old INI project files: any text loads within the model's limits or is refused.
#include "project/project_file.h"
#include "quiet_prompt.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = tellavine::ProfileDocument::parse(std::string(reinterpret_cast<const char*>(data), size));
    tellavine::Project project;
    tellavine::quietenPrompts(project);
    tellavine::loadOldProjectDocument(project, file);
    return 0;
}
