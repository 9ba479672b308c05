#include "vcd/iso_track.h"

#include "vcd/sector.h"

#include <cstdio>

namespace tellavine::vcd {
namespace {

constexpr std::uint32_t kSectorBytes = kForm1DataSize;
constexpr std::uint32_t kFirstDirectorySector = 18;
constexpr std::uint32_t kDirectoryAreaSectors = 57;  // 18..74
constexpr std::uint32_t kControlAreaUnit = 75;
constexpr std::uint32_t kLotSectors = 32;

constexpr std::uint8_t kEndOfFile = 0x80;
constexpr std::uint8_t kEndOfFileAndRecord = 0x81;

std::uint32_t sectorsFor(std::uint64_t bytes) {
    return static_cast<std::uint32_t>((bytes + kSectorBytes - 1) / kSectorBytes);
}

void place(IsoTrackLayout& layout, const char* name, std::uint32_t start, std::uint32_t count, std::uint8_t flags) {
    layout.bitmap.allocateSectors(start, count);
    layout.controlFiles.add(name, start, count, flags);
}

std::uint32_t placeFirstFit(IsoTrackLayout& layout, const char* name, std::uint32_t count, std::uint8_t flags) {
    const auto start = static_cast<std::uint32_t>(layout.bitmap.allocateSectors(-1, count));
    layout.controlFiles.add(name, start, count, flags);
    return start;
}

std::string tooLongName(const IsoNode& directory) {
    for (const auto& child : directory.children) {
        if (child->name.size() > kLongestName) return child->name;
        if (child->isDirectory) {
            auto name = tooLongName(*child);
            if (!name.empty()) return name;
        }
    }
    return {};
}

}  // namespace

std::variant<IsoTrackLayout, std::string> layoutIsoTrack(const IsoTrackContents& contents) {
    IsoTrackLayout layout;
    SectorBitmap& bitmap = layout.bitmap;
    bitmap.allocateSectors(0, 16);     // system area
    bitmap.allocateSectors(75, 75);    // 75..149, before the control files
    place(layout, "pvd", 16, 1, 0x01);
    place(layout, "evd", 17, 1, kEndOfFileAndRecord);
    bitmap.allocateSectors(kFirstDirectorySector, kDirectoryAreaSectors);
    place(layout, "info", 150, 1, kEndOfFile);
    place(layout, "entries", 151, 1, kEndOfFile);
    if (contents.playbackControl) {
        place(layout, "lot", 152, kLotSectors, kEndOfFile);
        place(layout, "psd", 152 + kLotSectors, sectorsFor(contents.psdSize), kEndOfFile);
    }

    // The control area ends on a whole second of sectors; everything below it is taken.
    const auto highest = static_cast<std::uint32_t>(bitmap.highestAllocated());
    layout.controlAreaEnd = (highest + 1 + kControlAreaUnit - 1) / kControlAreaUnit * kControlAreaUnit;
    for (std::uint32_t sector = 0; sector < layout.controlAreaEnd; ++sector)
        if (!bitmap.isAllocated(sector)) bitmap.allocateSectors(sector, 1);

    for (const auto& segment : contents.segments)
        layout.segmentFirstSectors.push_back(
            static_cast<std::uint32_t>(bitmap.allocateSectors(-1, segment.units * kSectorsPerSegmentUnit)));
    layout.segmentAreaEnd = static_cast<std::uint32_t>(bitmap.highestAllocated() + 1);

    const bool extendedFiles = contents.type == DiscType::Vcd20 && contents.playbackControl;
    if (extendedFiles) {
        placeFirstFit(layout, "lot_x", kLotSectors, kEndOfFile);
        placeFirstFit(layout, "psd_x", sectorsFor(contents.extendedPsdSize), kEndOfFile);
    }
    layout.extendedFilesEnd = static_cast<std::uint32_t>(bitmap.highestAllocated() + 1);

    for (const auto& file : contents.customFiles) {
        if (file.sectors == 0)
            layout.customFileExtents.push_back(layout.extendedFilesEnd);
        else
            layout.customFileExtents.push_back(static_cast<std::uint32_t>(bitmap.allocateSectors(-1, file.sectors)));
    }
    layout.trackLength = std::max<std::uint32_t>(static_cast<std::uint32_t>(bitmap.highestAllocated() + 1),
                                                 kMinimumIsoTrackLength);

    // The file system tree.
    IsoTree& tree = layout.tree;
    makeDirectory(tree, "EXT");
    makeDirectory(tree, "MPEGAV");
    makeDirectory(tree, "VCD");
    if (!contents.segments.empty()) makeDirectory(tree, "SEGMENT");
    addFileEntry(tree, "VCD/ENTRIES.VCD", 151, kSectorBytes, false, 0);
    addFileEntry(tree, "VCD/INFO.VCD", 150, kSectorBytes, false, 0);
    if (contents.playbackControl) {
        addFileEntry(tree, "VCD/LOT.VCD", 152, kLotSectors * kSectorBytes, false, 0);
        addFileEntry(tree, "VCD/PSD.VCD", 152 + kLotSectors, contents.psdSize, false, 0);
    }
    std::uint32_t unitNumber = 1;
    for (std::size_t i = 0; i < contents.segments.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "SEGMENT/ITEM%4.4u.DAT", unitNumber);
        addFileEntry(tree, name, layout.segmentFirstSectors[i], contents.segments[i].packs * kSectorBytes, true, 1);
        unitNumber += contents.segments[i].units;
    }
    if (extendedFiles) {
        addFileEntry(tree, "EXT/PSD_X.VCD", layout.controlFiles.find("psd_x")->firstSector, contents.extendedPsdSize,
                     false, 1);
        addFileEntry(tree, "EXT/LOT_X.VCD", layout.controlFiles.find("lot_x")->firstSector, kLotSectors * kSectorBytes,
                     false, 1);
    }
    for (std::size_t i = 0; i < contents.customFiles.size(); ++i) {
        const auto& file = contents.customFiles[i];
        const std::uint64_t size = file.raw ? std::uint64_t{file.sectors} * kSectorBytes : file.size;
        if (size > 0xFFFFFFFFu) return "The file " + file.isoPath + " is too large for the disc's file system.";
        // A second file of the same name is left out of the tree; the first one stays.
        addFileEntry(tree, file.isoPath, layout.customFileExtents[i], static_cast<std::uint32_t>(size), file.raw, 1);
    }
    for (std::size_t i = 0; i < contents.sequences.size(); ++i) {
        const auto& sequence = contents.sequences[i];
        char name[32];
        std::snprintf(name, sizeof name, contents.type == DiscType::Vcd10 ? "MPEGAV/MUSIC%2.2u.DAT" : "MPEGAV/AVSEQ%2.2u.DAT",
                      static_cast<unsigned>(i + 1));
        const std::uint32_t size = (sequence.packs + sequence.frontMargin + sequence.rearMargin) * kSectorBytes;
        addFileEntry(tree, name, layout.trackLength + sequence.startOffset, size, true, static_cast<std::uint8_t>(i + 1));
    }
    if (const auto name = tooLongName(tree.root()); !name.empty())
        return "The name " + name + " is too long for the disc's file system.";

    // Directories and path tables share sectors 18..74.
    layout.directorySectors = layoutDirectories(tree, kFirstDirectorySector);
    std::vector<std::uint8_t> lTable(kSectorBytes), mTable(kSectorBytes);
    const auto pathTableSize = writePathTables(tree, lTable, mTable);
    if (layout.directorySectors + 2 > kDirectoryAreaSectors || !pathTableSize)
        return "The disc holds too many files and folders for its file system directory area.";
    layout.pathTableSize = *pathTableSize;
    bitmap.release(kFirstDirectorySector, layout.directorySectors + 2);
    place(layout, "dir", kFirstDirectorySector, layout.directorySectors, kEndOfFileAndRecord);
    place(layout, "ptl", kFirstDirectorySector + layout.directorySectors, 1, kEndOfFileAndRecord);
    place(layout, "ptm", kFirstDirectorySector + layout.directorySectors + 1, 1, kEndOfFileAndRecord);
    return layout;
}

}  // namespace tellavine::vcd
