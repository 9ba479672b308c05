#pragma once
// The emulated recorder's view of a raw-mode recording: it reads the sub-channel of
// every sector the host sends, as the disc will carry it, and finds what a player would
// stumble over - a bad Q CRC, absolute times that do not match the address, the table of
// contents in the lead-in (each entry three times, tracks, A0h, A1h, A2h), track and
// index numbers and relative times that disagree with it, P flags outside the pregaps
// and the two seconds before a track, and a lead-out without its 2 Hz P pattern.

#include "platform/cd_geometry.h"
#include "recorder/sub_channel.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

class RawWriteChecker {
public:
    explicit RawWriteChecker(int firstAddress) : firstAddress_(firstAddress), expected_(firstAddress) {}

    // Checks the main channel (already descrambled) and sub-channel of the sector at
    // `address`. False with problem() set at the first fault.
    bool check(int address, std::span<const std::uint8_t> mainChannel, std::span<const std::uint8_t> subChannel);

    const std::string& problem() const { return problem_; }
    // The lead-out address from A2h of the table of contents, once the lead-in is read.
    std::optional<int> leadOutAddress() const;
    int nextAddress() const { return expected_; }
    int firstAddress() const { return firstAddress_; }

private:
    struct TocEntry {
        std::uint8_t ctl = 0;
        int pmin = 0, psec = 0, pframe = 0;
        int frames() const { return framesOf({pmin, psec, pframe}); }
    };

    bool fail(int address, const std::string& what);
    bool checkLeadIn(int address, const DecodedSubChannel& sub);
    bool checkProgramOrLeadOut(int address, const DecodedSubChannel& sub);
    bool tocComplete(int address);
    int trackStart(int track) const { return toc_.at(track).frames() - kPregapFrames; }

    int firstAddress_;
    int expected_;
    std::string problem_;
    std::map<int, TocEntry> toc_;  // by POINT
    int currentPoint_ = -1;
    int pointRun_ = 0;
    bool tocChecked_ = false;
    int firstTrack_ = 0, lastTrack_ = 0, leadOut_ = 0;
    int lastTrackSeen_ = 0, lastIndexSeen_ = 0;
    bool leadOutPOn_ = true;
    int leadOutRun_ = 0;
    bool leadOutFirstRun_ = true;
};

}  // namespace tellavine
