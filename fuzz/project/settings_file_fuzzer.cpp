// Settings files: any text reads into corrected values (no folders are created here).
#include "project/settings.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tellavine::AppFolders folders{"/p/", "/p/", "/p/Temp/"};
    const auto file = tellavine::ProfileDocument::parse(std::string(reinterpret_cast<const char*>(data), size));
    const auto settings = tellavine::readSettings(file, folders);
    if (settings.tempDir.empty() || settings.tempDir.back() != '/') __builtin_trap();
    if (settings.window.width < 0 || settings.window.splitterX < 1) __builtin_trap();
    return 0;
}
