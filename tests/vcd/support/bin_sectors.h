#pragma once
// Sectors of a raw BIN image read back for the independent readers (isoinfo, pycdlib,
// ffprobe) and for byte checks.

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::vcd::testing {

// Copies the 2048 user-data bytes of sectors [first, first + count) of a raw BIN into a
// plain ISO image file.
bool extractForm1UserData(const std::string& binPath, std::uint32_t first, std::uint32_t count,
                          const std::string& isoPath);
// The whole 2352-byte sector `lsn` of a raw BIN (empty past its end).
std::vector<std::uint8_t> readSector(const std::string& binPath, std::uint32_t lsn);

}  // namespace tellavine::vcd::testing
