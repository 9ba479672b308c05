#include "vcd/control_files.h"

#include "platform/bytes.h"
#include "vcd/sector.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tellavine::vcd {
namespace {

constexpr std::uint32_t kPsdSectorBytes = kForm1DataSize;

void copyAt(std::span<std::uint8_t> file, std::size_t offset, const ByteWriter& bytes) {
    if (offset >= file.size()) return;
    std::memcpy(file.data() + offset, bytes.data().data(), std::min(bytes.size(), file.size() - offset));
}

const PbcNode* findNode(const std::vector<PbcNode>& nodes, const std::optional<std::string>& id) {
    if (!id) return nullptr;
    for (const auto& node : nodes)
        if (node.id == *id) return &node;
    return nullptr;
}

std::uint16_t listOffset(const std::vector<PbcNode>& nodes, const std::optional<std::string>& id, bool extended) {
    const PbcNode* node = findNode(nodes, id);
    if (!node) return kNoList;
    return static_cast<std::uint16_t>((extended ? node->extendedPsdOffset : node->psdOffset) / 8);
}

std::uint16_t lidField(const PbcNode& node) {
    return static_cast<std::uint16_t>(node.lid + (node.rejected ? 0x8000 : 0));
}

std::uint16_t itemNumber(const DiscDescription& disc, const std::optional<std::string>& id) {
    if (!id || id->empty() || !disc.playItemNumber) return 0;
    return disc.playItemNumber(*id);
}

void appendArea(ByteWriter& out, const std::optional<SelectionArea>& area) {
    if (area) out.bytes(std::span<const std::uint8_t>(*area));
    else out.fill(4);
}

const VideoStreamInfo* mainVideo(const MpegStreamInfo& info) {
    for (const auto& video : info.video)
        if (video.present) return &video;
    return nullptr;
}

}  // namespace

std::uint8_t encodeWaitTime(int seconds) {
    if (seconds < 0) return 0xFF;
    if (seconds <= 60) return static_cast<std::uint8_t>(seconds);
    if (seconds <= 2000) return static_cast<std::uint8_t>(60 + (seconds - 60) / 10);
    return 0xFE;
}

std::uint32_t pbcNodeSize(const PbcNode& node, bool extended) {
    switch (node.kind) {
        case PbcNodeKind::PlayList: return 14 + 2 * static_cast<std::uint32_t>(node.items.size());
        case PbcNodeKind::SelectionList: {
            const auto n = static_cast<std::uint32_t>(node.selections.size());
            return extended ? 36 + 6 * n : 20 + 2 * n;
        }
        case PbcNodeKind::EndList: return 8;
    }
    return 8;
}

PsdSizes layoutPsd(std::vector<PbcNode>& nodes) {
    PsdSizes sizes;
    auto place = [](std::uint32_t& position, std::uint32_t size) {
        size = (size + 7) / 8 * 8;
        if (position % kPsdSectorBytes + size > kPsdSectorBytes)
            position = (position / kPsdSectorBytes + 1) * kPsdSectorBytes;
        const std::uint32_t offset = position;
        position += size;
        return offset;
    };
    std::uint16_t lid = 0;
    for (auto& node : nodes) {
        node.lid = ++lid;
        node.psdOffset = place(sizes.psd, pbcNodeSize(node, false));
        node.extendedPsdOffset = place(sizes.extendedPsd, pbcNodeSize(node, true));
    }
    return sizes;
}

std::uint8_t segmentContentByte(const MpegStreamInfo& info, bool continuation) {
    std::uint8_t audioType = 0;
    if (info.audio[0].present) {
        switch (info.audio[0].mode) {
            case 4: audioType = 1; break;
            case 1: case 2: audioType = 2; break;
            case 3: audioType = 3; break;
            default: audioType = 0; break;
        }
    }
    std::uint8_t videoType = 0;
    for (auto [stream, base] : {std::pair{0, 3}, std::pair{2, 2}, std::pair{1, 1}}) {
        if (!info.video[stream].present) continue;
        videoType = static_cast<std::uint8_t>(base + (isPal(info.video[stream]) ? 4 : 0));
        break;
    }
    return static_cast<std::uint8_t>(audioType | (videoType << 2) | (continuation ? 0x20 : 0));
}

void buildInfo(std::span<std::uint8_t> file, const DiscDescription& disc) {
    ByteWriter out(kForm1DataSize);
    out.bytes("VIDEO_CD");                                                   // 0
    out.u8(disc.type == DiscType::Vcd20 ? 2 : 1);                            // 8: version
    out.u8(disc.type == DiscType::Vcd11 ? 1 : 0);                            // 9: system profile tag
    out.fixedText(disc.albumId, 16, ' ');                                    // 10
    out.u16be(disc.volumeCount);                                             // 26
    out.u16be(disc.volumeNumber);                                            // 28
    if (disc.type == DiscType::Vcd20) {
        std::uint8_t palFlags[13] = {};
        for (std::size_t i = 0; i < disc.sequences.size() && i < 13 * 8; ++i) {
            const VideoStreamInfo* video = mainVideo(*disc.sequences[i].info);
            if (video && isPal(*video)) palFlags[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        }
        out.bytes(std::span<const std::uint8_t>(palFlags));                  // 30
        const bool withPbc = disc.nodes && !disc.nodes->empty();
        out.u8(static_cast<std::uint8_t>(((disc.restriction & 3) << 1) | (disc.extendedPsd ? 0x80 : 0)));  // 43
        out.u32be(withPbc ? disc.psdSize : 0);                               // 44
        std::uint32_t units = 0;
        for (const auto& segment : disc.segments) units += segment.units;
        if (units > 0) {
            const auto msf = bcdMsfOf(static_cast<int>(disc.controlAreaEnd) + kPregapFrames);
            out.bytes(std::span<const std::uint8_t>(msf));                   // 48: first segment address
        } else {
            out.fill(3);
        }
        out.u8(withPbc ? 8 : 0);                                             // 51: offset multiplier
        out.u16be(withPbc ? static_cast<std::uint16_t>(disc.nodes->size()) : 0);  // 52: maximum LID
        out.u16be(static_cast<std::uint16_t>(units));                        // 54
        for (const auto& segment : disc.segments)                           // 56: content byte per unit
            for (std::uint32_t unit = 0; unit < segment.units; ++unit)
                out.u8(segmentContentByte(*segment.info, unit > 0));
    }
    copyAt(file, 0, out);
}

void buildEntries(std::span<std::uint8_t> file, const DiscDescription& disc) {
    ByteWriter out(kForm1DataSize);
    out.bytes("ENTRYVCD");
    out.u8(disc.type == DiscType::Vcd20 ? 2 : 1);
    out.u8(0);
    out.u16be(static_cast<std::uint16_t>(disc.sequences.size()));
    for (std::size_t i = 0; i < disc.sequences.size(); ++i) {
        out.u8(toBcd(static_cast<int>(i + 2)));
        const auto msf = bcdMsfOf(static_cast<int>(disc.sequences[i].trackStart) + kPregapFrames);
        out.bytes(std::span<const std::uint8_t>(msf));
    }
    copyAt(file, 0, out);
}

void buildLot(std::span<std::uint8_t> file, const std::vector<PbcNode>& nodes, bool extended) {
    if (file.size() < kLotSize) return;
    // Entry n (at byte 2n) holds the ListOffset of LID n; entry 0 is always 0.
    std::fill(file.begin(), file.begin() + kLotSize, std::uint8_t{0xFF});
    file[0] = file[1] = 0;
    for (const auto& node : nodes) {
        if (node.rejected || node.lid == 0 || node.lid > kMaxLid) continue;
        const std::uint32_t offset = (extended ? node.extendedPsdOffset : node.psdOffset) / 8;
        file[2 * std::size_t{node.lid}] = static_cast<std::uint8_t>(offset >> 8);
        file[2 * std::size_t{node.lid} + 1] = static_cast<std::uint8_t>(offset);
    }
}

void buildPsd(std::span<std::uint8_t> file, const DiscDescription& disc, bool extended) {
    if (!disc.nodes) return;
    const auto& nodes = *disc.nodes;
    for (const auto& node : nodes) {
        ByteWriter out(64);
        switch (node.kind) {
            case PbcNodeKind::PlayList: {
                out.u8(0x10);
                out.u8(static_cast<std::uint8_t>(node.items.size()));
                out.u16be(lidField(node));
                out.u16be(listOffset(nodes, node.prevId, extended));
                out.u16be(listOffset(nodes, node.nextId, extended));
                out.u16be(listOffset(nodes, node.returnId, extended));
                const double ticks = std::floor(std::max(0.0, node.playingTime) * 15.0);
                out.u16be(static_cast<std::uint16_t>(std::min(ticks, 65535.0)));
                out.u8(encodeWaitTime(node.waitTime));
                out.u8(encodeWaitTime(node.autoWaitTime));
                for (const auto& item : node.items) out.u16be(itemNumber(disc, item));
                break;
            }
            case PbcNodeKind::SelectionList: {
                out.u8(extended ? 0x1A : 0x18);
                out.u8(0);  // flags
                out.u8(static_cast<std::uint8_t>(node.selections.size()));
                out.u8(node.bsn);
                out.u16be(lidField(node));
                out.u16be(listOffset(nodes, node.prevId, extended));
                out.u16be(listOffset(nodes, node.nextId, extended));
                out.u16be(listOffset(nodes, node.returnId, extended));
                const std::uint16_t defaultList = node.defaultKind == 1   ? 0xFFFE
                                                  : node.defaultKind == 2 ? 0xFFFD
                                                                          : listOffset(nodes, node.defaultId, extended);
                out.u16be(defaultList);
                out.u16be(listOffset(nodes, node.timeoutId, extended));
                out.u8(encodeWaitTime(node.timeoutTime));
                out.u8(static_cast<std::uint8_t>(std::clamp(node.loopCount, 0, 127) + (node.jumpDelayed ? 0x80 : 0)));
                out.u16be(itemNumber(disc, node.itemId));
                for (const auto& target : node.selections) out.u16be(listOffset(nodes, target, extended));
                if (extended) {
                    appendArea(out, node.prevArea);
                    appendArea(out, node.nextArea);
                    appendArea(out, node.returnArea);
                    appendArea(out, node.defaultArea);
                    for (std::size_t i = 0; i < node.selections.size(); ++i)
                        appendArea(out, i < node.selectAreas.size() ? std::optional(node.selectAreas[i]) : std::nullopt);
                }
                break;
            }
            case PbcNodeKind::EndList:
                out.u8(0x1F);
                out.fill(7);
                break;
        }
        copyAt(file, extended ? node.extendedPsdOffset : node.psdOffset, out);
    }
}

}  // namespace tellavine::vcd
