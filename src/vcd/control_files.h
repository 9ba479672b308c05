#pragma once
// The Video CD control files: INFO.VCD, ENTRIES.VCD, LOT.VCD / EXT/LOT_X.VCD and
// PSD.VCD / EXT/PSD_X.VCD. Numbers are big endian. Play items are referred to by play
// item number (2..99 tracks, 100..599 entries, 1000..2979 segments), lists by their
// offset in the PSD divided by 8 (ListOffset).

#include "vcd/disc_type.h"
#include "vcd/mpeg_stream.h"
#include "vcd/pbc_node.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellavine::vcd {

constexpr std::uint16_t kNoList = 0xFFFF;
constexpr std::size_t kLotSize = 65536;
constexpr std::size_t kInfoSegmentTableCapacity = 2048 - 56;  // units in INFO.VCD
constexpr std::size_t kEntriesCapacity = (2048 - 12) / 4;     // entries in ENTRIES.VCD
constexpr std::size_t kMaxLid = kLotSize / 2 - 1;

// Seconds to the one-byte wait code: negative waits forever (0xFF), 0..60 as they are,
// then steps of 10 seconds up to 2000, 0xFE above.
std::uint8_t encodeWaitTime(int seconds);

// Size of a node in the PSD or the extended PSD, before rounding to 8.
std::uint32_t pbcNodeSize(const PbcNode& node, bool extended);

struct PsdSizes {
    std::uint32_t psd = 0;
    std::uint32_t extendedPsd = 0;
};

// Numbers the nodes 1, 2, ... (LID) and places each in both PSDs: sizes rounded to 8,
// never across a 2048-byte boundary; the two walks are independent.
PsdSizes layoutPsd(std::vector<PbcNode>& nodes);

struct SegmentDescription {
    std::uint32_t units = 0;
    const MpegStreamInfo* info = nullptr;
};

struct SequenceDescription {
    std::uint32_t trackStart = 0;  // sector of the track start (front margin's first sector)
    const MpegStreamInfo* info = nullptr;
};

struct DiscDescription {
    DiscType type = DiscType::Vcd20;
    std::string albumId;
    std::uint16_t volumeCount = 1;
    std::uint16_t volumeNumber = 1;
    std::uint8_t restriction = 0;
    std::vector<SegmentDescription> segments;
    std::vector<SequenceDescription> sequences;
    std::uint32_t controlAreaEnd = 0;
    const std::vector<PbcNode>* nodes = nullptr;  // empty or null without playback control
    std::uint32_t psdSize = 0;
    bool extendedPsd = false;
    // Play item number of an item id, 0 when unknown.
    std::function<std::uint16_t(std::string_view)> playItemNumber;
};

std::uint8_t segmentContentByte(const MpegStreamInfo& info, bool continuation);

void buildInfo(std::span<std::uint8_t> file, const DiscDescription& disc);
void buildEntries(std::span<std::uint8_t> file, const DiscDescription& disc);
void buildLot(std::span<std::uint8_t> file, const std::vector<PbcNode>& nodes, bool extended);
void buildPsd(std::span<std::uint8_t> file, const DiscDescription& disc, bool extended);

}  // namespace tellavine::vcd
