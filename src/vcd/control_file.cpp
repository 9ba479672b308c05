#include "vcd/control_file.h"

#include "vcd/sector.h"

namespace tellavine::vcd {

ControlFile& ControlFileList::add(std::string name, std::uint32_t firstSector, std::uint32_t sectorCount,
                                  std::uint8_t endFlags) {
    ControlFile file;
    file.name = std::move(name);
    file.firstSector = firstSector;
    file.sectorCount = sectorCount;
    file.endFlags = endFlags;
    file.buffer.assign(std::size_t{sectorCount} * kForm1DataSize, 0);
    files_.push_back(std::move(file));
    return files_.back();
}

ControlFile* ControlFileList::find(const std::string& name) {
    for (auto& file : files_)
        if (file.name == name) return &file;
    return nullptr;
}

const ControlFile* ControlFileList::containing(std::uint32_t sector) const {
    for (const auto& file : files_)
        if (file.contains(sector)) return &file;
    return nullptr;
}

}  // namespace tellavine::vcd
