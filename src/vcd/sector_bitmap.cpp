#include "vcd/sector_bitmap.h"

namespace tellavine::vcd {

bool SectorBitmap::isAllocated(std::uint32_t sector) const {
    const std::size_t byte = sector / 8;
    return byte < bits_.size() && (bits_[byte] >> (sector % 8)) & 1;
}

void SectorBitmap::set(std::uint32_t sector) {
    const std::size_t byte = sector / 8;
    if (byte >= bits_.size()) bits_.resize((byte / 16 + 1) * 16, 0);  // grows in 16-byte steps
    bits_[byte] |= static_cast<std::uint8_t>(1u << (sector % 8));
}

bool SectorBitmap::runFree(std::uint32_t start, std::uint32_t count) const {
    for (std::uint32_t i = 0; i < count; ++i)
        if (isAllocated(start + i)) return false;
    return true;
}

std::int64_t SectorBitmap::allocateSectors(std::int64_t start, std::uint32_t count) {
    if (count == 0) count = 1;
    if (start < 0) {
        std::uint32_t candidate = 0;
        while (!runFree(candidate, count)) ++candidate;
        start = candidate;
    } else if (!runFree(static_cast<std::uint32_t>(start), count)) {
        return -1;
    }
    for (std::uint32_t i = 0; i < count; ++i) set(static_cast<std::uint32_t>(start) + i);
    return start;
}

void SectorBitmap::release(std::uint32_t start, std::uint32_t count) {
    for (std::uint32_t sector = start; sector < start + count; ++sector) {
        const std::size_t byte = sector / 8;
        if (byte < bits_.size()) bits_[byte] &= static_cast<std::uint8_t>(~(1u << (sector % 8)));
    }
}

std::int64_t SectorBitmap::highestAllocated() const {
    for (std::size_t byte = bits_.size(); byte-- > 0;) {
        if (!bits_[byte]) continue;
        for (int bit = 7; bit >= 0; --bit)
            if ((bits_[byte] >> bit) & 1) return static_cast<std::int64_t>(byte * 8 + bit);
    }
    return -1;
}

std::uint32_t SectorBitmap::lowestFree(std::uint32_t from) const {
    while (isAllocated(from)) ++from;
    return from;
}

}  // namespace tellavine::vcd
