#pragma once
// Which sectors of the ISO track are taken: one bit per sector, growing on demand.

#include <cstdint>
#include <vector>

namespace tellavine::vcd {

class SectorBitmap {
public:
    // Marks `count` sectors (0 counts as 1) from `start`, or from the first start whose
    // whole run is free when start is -1. Returns the start, or -1 when a sector of the
    // run is taken (nothing is marked then).
    std::int64_t allocateSectors(std::int64_t start, std::uint32_t count);
    void release(std::uint32_t start, std::uint32_t count);
    bool isAllocated(std::uint32_t sector) const;
    // Highest taken sector, or -1 when none is.
    std::int64_t highestAllocated() const;
    // Lowest free sector at or after `from`.
    std::uint32_t lowestFree(std::uint32_t from = 0) const;

private:
    bool runFree(std::uint32_t start, std::uint32_t count) const;
    void set(std::uint32_t sector);

    std::vector<std::uint8_t> bits_;  // bit n of byte n / 8, least significant bit first
};

}  // namespace tellavine::vcd
