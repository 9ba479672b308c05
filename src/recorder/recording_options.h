#pragma once
// The choices of one recording that the drivers read: speed, test run, Burn-Proof.

#include <array>
#include <cstdint>

namespace tellavine {

struct SpeedTableEntry {
    const char* text;      // as the speed list shows it
    int multiple;          // 0 for the drive's maximum
    std::uint16_t kbPerSecond;  // sent with SET CD SPEED
};

// Write speeds in the order the speed list offers them; kB/s = multiple x 177.
inline constexpr std::array<SpeedTableEntry, 7> kSpeedTable = {{
    {"1x    (150 kb/s)", 1, 177},
    {"2x    (300 kb/s)", 2, 354},
    {"4x    (600 kb/s)", 4, 708},
    {"8x    (1200 kb/s)", 8, 1416},
    {"12x  (1800 kb/s)", 12, 2124},
    {"24x  (3600 kb/s)", 24, 4248},
    {"Max. Speed", 0, 0xFFFF},
}};

struct RecordingOptions {
    int speedIndex = 0;      // into kSpeedTable; outside 0..6 it reads as 0
    bool simulate = false;   // test write: nothing is burned, the disc is reloaded at the end
    bool burnProof = false;  // set BUFE; otherwise the drive's own setting stays

    // The index to use, stored back as 0 when it was out of range.
    int takeSpeedIndex() {
        if (speedIndex < 0 || speedIndex >= static_cast<int>(kSpeedTable.size())) speedIndex = 0;
        return speedIndex;
    }
};

}  // namespace tellavine
