#pragma once
// The unit handed from the build thread to the recorder feed thread: up to 27 sectors.

#include "platform/cd_geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tellavine {

inline constexpr std::size_t kSectorsPerBlock = 27;

enum class RecorderBlockKind : int { Full = 1, Last = 2, EndMarker = 3 };

struct RecorderBlock {
    RecorderBlockKind kind = RecorderBlockKind::Full;
    // Always 2352 bytes per sector, the unit of the recorder interface. Sector bodies of
    // 2336 bytes lie back to back from the start; the rest of the length is filler.
    std::uint32_t byteLength = 0;
    std::vector<std::uint8_t> data = std::vector<std::uint8_t>(kSectorsPerBlock * kRawSectorSize, 0);
};

using RecorderBlockPtr = std::unique_ptr<RecorderBlock>;

}  // namespace tellavine
