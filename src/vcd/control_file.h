#pragma once
// Files of the ISO track that are built in memory: volume descriptors, directories, path
// tables and the Video CD control files.

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::vcd {

struct ControlFile {
    std::string name;  // "pvd", "evd", "dir", "ptl", "ptm", "info", "entries", "lot", "psd", ...
    std::uint32_t firstSector = 0;
    std::uint32_t sectorCount = 0;
    std::uint8_t endFlags = 0;  // submode bits of the file's last sector
    std::vector<std::uint8_t> buffer;  // sectorCount * 2048 bytes, zeroed

    bool contains(std::uint32_t sector) const {
        return sector >= firstSector && sector < firstSector + sectorCount;
    }
};

class ControlFileList {
public:
    ControlFile& add(std::string name, std::uint32_t firstSector, std::uint32_t sectorCount, std::uint8_t endFlags);
    ControlFile* find(const std::string& name);
    const ControlFile* containing(std::uint32_t sector) const;
    void clear() { files_.clear(); }
    const std::vector<ControlFile>& files() const { return files_; }

private:
    std::vector<ControlFile> files_;
};

}  // namespace tellavine::vcd
