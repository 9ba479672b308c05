#pragma once
// Makes the P/Q sub-channel of every sector of a raw-mode recording, from the first
// lead-in sector to the last lead-out sector, out of the same cue sheet a
// session-at-once drive would get: the table of contents cycling through the lead-in,
// then track, index, relative and absolute times and the P flag per sector.
//
// Addresses count from 0 at 00:02:00; a cue sheet time m:s:f lies at m*4500+s*75+f-150.

#include "recorder/sub_channel.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

class PQChannelEncoder {
public:
    // Checks the cue sheet and prepares the run starting at `firstAddress` (the first
    // lead-in sector). False with diagnosticText() when the sheet is refused.
    bool build(const SubChannel& prototype, std::uint8_t sessionFormat, std::span<const std::uint8_t> cueSheet,
               int firstAddress);

    // The record of the sector at `address`; called once per sector in increasing order
    // without gaps. Valid until the next call.
    SubChannel& subChannelFor(int address);

    // For `count` sectors from `firstAddress`: the 2352 sector bytes, then their sub-channel.
    void fill(int firstAddress, std::span<const std::uint8_t> sectors, std::size_t count, std::uint8_t* output);

    const std::string& diagnosticText() const { return diagnostic_; }
    std::size_t tocSize() const { return toc_.size(); }
    int discType() const { return discType_; }

private:
    struct Entry {
        std::uint8_t ctlAdr = 0, tno = 0, index = 0;
        int frames = 0;
        int adr() const { return ctlAdr & 0x0F; }
        int address() const { return frames - kPregapFrames; }
    };

    bool refuse(std::string text);
    bool check(std::span<const std::uint8_t> cueSheet);
    void buildToc(const SubChannel& prototype);
    // Index of the first ADR-1 entry after `from`, or -1.
    int nextAdr1(int from) const;
    // Address of the index-1 entry of `track`, or of the lead-out when there is none.
    int trackStartAddress(int track) const;
    void trackChange();

    std::string diagnostic_;
    int discType_ = 0;
    std::vector<Entry> entries_;
    int firstTrack_ = 0, lastTrack_ = 0;
    std::uint8_t firstTrackCtl_ = 0, lastTrackCtl_ = 0, leadOutCtl_ = 0;
    int leadOutFrames_ = 0;
    int leadInEntry_ = -1;
    int current_ = -1;
    int nextBoundary_ = 0;
    int nextTrackStart_ = 0;
    std::vector<std::unique_ptr<SubChannel>> toc_;
    std::size_t tocCursor_ = 0;
    int tocRepeat_ = 0;
    std::unique_ptr<SubChannel> position_;
    int absoluteCounter_ = 0;
    int relativeCounter_ = 0;
};

}  // namespace tellavine
