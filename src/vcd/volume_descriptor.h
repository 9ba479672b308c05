#pragma once
// The primary volume descriptor (sector 16) and the set terminator (sector 17) of the
// ISO track.

#include "platform/cd_geometry.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tellavine::vcd {

struct PrimaryVolumeFields {
    std::string volumeId;
    std::string publisherId;
    std::string applicationId;
    std::uint32_t volumeSpaceSize = 0;  // sectors of the ISO track
    std::vector<std::uint8_t> rootRecord;  // 34-byte "." record of the root
    std::uint32_t lTableSector = 0;
    std::uint32_t mTableSector = 0;
    std::uint32_t pathTableSize = 0;
};

// Fills the 2048 bytes of `sector`.
void buildPrimaryVolumeDescriptor(std::span<std::uint8_t, kForm1DataSize> sector, const PrimaryVolumeFields& fields);
void buildTerminator(std::span<std::uint8_t, kForm1DataSize> sector);

}  // namespace tellavine::vcd
