#include "support/run_tool.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

namespace tellavine::vcd::testing {

ToolResult runTool(const std::string& commandLine) {
    ToolResult result;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> chunk;
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) result.output.append(chunk.data(), got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool extractForm1UserData(const std::string& binPath, std::uint32_t first, std::uint32_t count,
                          const std::string& isoPath) {
    std::ifstream in(binPath, std::ios::binary);
    std::ofstream out(isoPath, std::ios::binary | std::ios::trunc);
    std::array<char, 2352> sector;
    for (std::uint32_t lsn = first; lsn < first + count; ++lsn) {
        in.seekg(static_cast<std::streamoff>(lsn) * 2352);
        if (!in.read(sector.data(), sector.size())) return false;
        out.write(sector.data() + 24, 2048);
    }
    return static_cast<bool>(out);
}

std::vector<std::uint8_t> readSector(const std::string& binPath, std::uint32_t lsn) {
    std::ifstream in(binPath, std::ios::binary);
    std::vector<std::uint8_t> sector(2352);
    in.seekg(static_cast<std::streamoff>(lsn) * 2352);
    if (!in.read(reinterpret_cast<char*>(sector.data()), 2352)) return {};
    return sector;
}

}  // namespace tellavine::vcd::testing
