#include "support/bin_sectors.h"

#include <array>
#include <fstream>

namespace tellavine::vcd::testing {

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
