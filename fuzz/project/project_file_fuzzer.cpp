// Binary project files: any bytes must load or be refused without fault.
#include "project/project_file.h"
#include "quiet_prompt.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tellavine::Project project;
    tellavine::quietenPrompts(project);
    tellavine::loadProjectBytes(project, std::span<const std::uint8_t>(data, size), "/nonexistent/");
    // Whatever was loaded must serialize again within the model's limits.
    (void)tellavine::serializeProject(project);
    return 0;
}
