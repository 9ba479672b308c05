#pragma once
// Sector allocation of the ISO track and the file system tree that names everything on
// the disc: volume descriptors, directories and path tables in sectors 16..74, the
// control files from 150, the segment area after the control area, the extended control
// files and the custom files after it, and the MPEG tracks that follow the ISO track.

#include "vcd/control_file.h"
#include "vcd/disc_type.h"
#include "vcd/iso_tree.h"
#include "vcd/sector_bitmap.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tellavine::vcd {

struct IsoTrackContents {
    DiscType type = DiscType::Vcd20;
    bool playbackControl = false;
    std::uint32_t psdSize = 0;          // bytes
    std::uint32_t extendedPsdSize = 0;  // bytes
    struct Segment {
        std::uint32_t units = 0;  // of 150 sectors
        std::uint32_t packs = 0;
    };
    std::vector<Segment> segments;
    struct CustomFile {
        std::string isoPath;  // upper case, "/" between components
        std::uint64_t size = 0;
        bool raw = false;
        std::uint32_t sectors = 0;
    };
    std::vector<CustomFile> customFiles;
    struct Sequence {
        std::uint32_t startOffset = 0;  // from the end of the ISO track to the track start (after the pregap)
        std::uint32_t packs = 0;
        std::uint32_t frontMargin = 0;
        std::uint32_t rearMargin = 0;
    };
    std::vector<Sequence> sequences;
};

struct IsoTrackLayout {
    ControlFileList controlFiles;
    SectorBitmap bitmap;
    IsoTree tree;
    std::uint32_t controlAreaEnd = 0;
    std::uint32_t segmentAreaEnd = 0;
    std::uint32_t extendedFilesEnd = 0;  // end of the files placed after the segment area
    std::uint32_t trackLength = 0;       // at least 300
    std::uint32_t directorySectors = 0;
    std::uint32_t pathTableSize = 0;
    std::vector<std::uint32_t> segmentFirstSectors;
    std::vector<std::uint32_t> customFileExtents;
};

// The layout, or the reason why the disc cannot be laid out.
std::variant<IsoTrackLayout, std::string> layoutIsoTrack(const IsoTrackContents& contents);

constexpr std::uint32_t kMinimumIsoTrackLength = 300;
constexpr std::uint32_t kSectorsPerSegmentUnit = 150;

}  // namespace tellavine::vcd
