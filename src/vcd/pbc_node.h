#pragma once
// Playback-control nodes: the play lists, selection lists and end lists of a Video CD's
// menu graph. Links name other nodes by id; items name play items (sequences, entries,
// segments). Ids are resolved when the control files are written.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellavine::vcd {

enum class PbcNodeKind { PlayList = 1, SelectionList = 2, EndList = 3 };

using SelectionArea = std::array<std::uint8_t, 4>;

struct PbcNode {
    PbcNodeKind kind = PbcNodeKind::PlayList;
    std::string id;
    bool rejected = false;
    std::optional<std::string> prevId, nextId, returnId;

    // Play list.
    double playingTime = 0;  // seconds
    int waitTime = 0;        // seconds, negative = forever
    int autoWaitTime = 0;
    std::vector<std::string> items;  // play item ids

    // Selection list.
    int defaultKind = 0;  // 0 use defaultId; 1, 2 the multi-default codes
    std::optional<SelectionArea> prevArea, nextArea, returnArea, defaultArea;
    std::vector<SelectionArea> selectAreas;
    std::uint8_t bsn = 0;  // base selection number
    std::optional<std::string> defaultId, timeoutId;
    int timeoutTime = 0;  // seconds, -1 forever
    int loopCount = 0;
    bool jumpDelayed = false;
    std::optional<std::string> itemId;  // shown while the list waits
    std::vector<std::string> selections;  // node ids; entry n is key bsn + n

    // End list.
    std::uint8_t nextDisc = 0;

    // Set when the disc is laid out.
    std::uint16_t lid = 0;
    std::uint32_t psdOffset = 0;
    std::uint32_t extendedPsdOffset = 0;
};

// A zeroed node of that kind.
PbcNode createPbcNode(PbcNodeKind kind);

}  // namespace tellavine::vcd
