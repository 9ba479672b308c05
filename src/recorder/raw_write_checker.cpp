#include "recorder/raw_write_checker.h"

#include "platform/cd_geometry.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdlib>

namespace tellavine {

namespace {
int qTime(const std::array<std::uint8_t, 12>& q, std::size_t at) {
    return framesOf({fromBcdOrRaw(q[at]), fromBcdOrRaw(q[at + 1]), fromBcdOrRaw(q[at + 2])});
}
}  // namespace

bool RawWriteChecker::fail(int address, const std::string& what) {
    problem_ = formatText("sector %d: %s", address, what.c_str());
    return false;
}

std::optional<int> RawWriteChecker::leadOutAddress() const {
    if (!tocChecked_) return std::nullopt;
    return leadOut_;
}

bool RawWriteChecker::check(int address, std::span<const std::uint8_t> mainChannel,
                            std::span<const std::uint8_t> subChannel) {
    if (address != expected_) return fail(address, "written out of order");
    ++expected_;
    static const std::uint8_t sync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    if (mainChannel.size() != kRawSectorSize || !std::equal(std::begin(sync), std::end(sync), mainChannel.begin()))
        return fail(address, "no sync pattern");
    if (address >= -kPregapFrames) {
        if (!std::equal(mainChannel.begin() + 12, mainChannel.begin() + 15, bcdMsfOf(address + kPregapFrames).begin()))
            return fail(address, "header address differs from the sector address");
    }
    DecodedSubChannel sub;
    if (!decodeSubChannel(subChannel, sub)) return fail(address, "unreadable sub-channel");
    const std::uint16_t crc = subChannelCrc(std::span(sub.q).first(10));
    if (sub.q[10] != (crc >> 8) || sub.q[11] != (crc & 0xFF)) return fail(address, "Q CRC error");
    if ((sub.q[0] & 0x0F) != 1) return fail(address, "Q is not a position frame");
    return address < -kPregapFrames ? checkLeadIn(address, sub) : checkProgramOrLeadOut(address, sub);
}

bool RawWriteChecker::checkLeadIn(int address, const DecodedSubChannel& sub) {
    if (sub.p) return fail(address, "P set in the lead-in");
    if (sub.q[1] != 0) return fail(address, "lead-in with a track number");
    if (qTime(sub.q, 3) != address - firstAddress_) return fail(address, "lead-in running time is wrong");
    if (sub.q[6] != 0) return fail(address, "ZERO byte is not zero");
    const int point = fromBcdOrRaw(sub.q[2]);
    const TocEntry entry{static_cast<std::uint8_t>(sub.q[0] & 0xF0), fromBcdOrRaw(sub.q[7]), fromBcdOrRaw(sub.q[8]),
                         fromBcdOrRaw(sub.q[9])};
    // Each entry of the table of contents is repeated in three consecutive sectors.
    if (point == currentPoint_) {
        if (++pointRun_ > 3) return fail(address, "TOC entry repeated more than three times");
    } else {
        if (currentPoint_ >= 0 && pointRun_ != 3) return fail(address, "TOC entry not repeated three times");
        currentPoint_ = point;
        pointRun_ = 1;
    }
    const auto known = toc_.find(point);
    if (known != toc_.end()) {
        const TocEntry& before = known->second;
        if (before.ctl != entry.ctl || before.frames() != entry.frames())
            return fail(address, formatText("TOC entry %02X changes", point));
    } else {
        toc_[point] = entry;
    }
    return true;
}

bool RawWriteChecker::tocComplete(int address) {
    if (tocChecked_) return true;
    if (!toc_.count(0xA0) || !toc_.count(0xA1) || !toc_.count(0xA2)) return fail(address, "lead-in TOC lacks A0h-A2h");
    firstTrack_ = toc_[0xA0].pmin;
    lastTrack_ = toc_[0xA1].pmin;
    leadOut_ = toc_[0xA2].frames() - kPregapFrames;
    if (firstTrack_ < 1 || lastTrack_ < firstTrack_ || lastTrack_ > 99) return fail(address, "TOC track range is wrong");
    int previous = -1000000;
    for (int track = firstTrack_; track <= lastTrack_; ++track) {
        if (!toc_.count(track)) return fail(address, formatText("TOC lacks track %d", track));
        if (trackStart(track) <= previous) return fail(address, "TOC track starts do not increase");
        previous = trackStart(track);
    }
    if (leadOut_ <= previous) return fail(address, "lead-out before the last track");
    if (toc_.size() != static_cast<std::size_t>(lastTrack_ - firstTrack_ + 4))
        return fail(address, "TOC holds unknown entries");
    tocChecked_ = true;
    lastTrackSeen_ = firstTrack_;
    return true;
}

bool RawWriteChecker::checkProgramOrLeadOut(int address, const DecodedSubChannel& sub) {
    if (!tocComplete(address)) return false;
    if (qTime(sub.q, 7) != address + kPregapFrames) return fail(address, "absolute time differs from the address");
    const int tno = fromBcdOrRaw(sub.q[1]);
    const int index = fromBcdOrRaw(sub.q[2]);
    const int relative = qTime(sub.q, 3);

    if (address >= leadOut_) {
        if (sub.q[1] != 0xAA || index != 1) return fail(address, "lead-out without TNO AAh, index 1");
        const int running = address - leadOut_;
        if (relative != running) return fail(address, "lead-out relative time is wrong");
        if (running < 150) {
            if (!sub.p) return fail(address, "P clear at the start of the lead-out");
            return true;
        }
        // After the first two seconds P alternates at about 2 Hz: runs of 15 to 23 sectors
        // (the run that goes on from the start counted from 150).
        if (sub.p == leadOutPOn_) {
            if (++leadOutRun_ > 23) return fail(address, "lead-out P does not alternate at 2 Hz");
            return true;
        }
        if (!leadOutFirstRun_ && leadOutRun_ < 15) return fail(address, "lead-out P alternates too fast");
        leadOutFirstRun_ = false;
        leadOutPOn_ = sub.p;
        leadOutRun_ = 1;
        return true;
    }

    int current = firstTrack_;
    for (int track = firstTrack_; track <= lastTrack_; ++track)
        if (trackStart(track) <= address) current = track;
    const bool beforeFirst = address < trackStart(firstTrack_);
    const int upcoming = beforeFirst ? firstTrack_ : current + 1;
    const int nextStart = upcoming <= lastTrack_ ? trackStart(upcoming) : leadOut_;
    if ((sub.q[0] & 0xF0) != toc_[tno >= firstTrack_ && tno <= lastTrack_ ? tno : current].ctl)
        return fail(address, "CTL differs from the TOC");

    if (tno == upcoming && upcoming <= lastTrack_) {
        // Pregap: index 0, counting down to the track's start, P set.
        if (index != 0) return fail(address, "pregap sector not at index 0");
        if (relative != nextStart - address) return fail(address, "pregap does not count down to the track");
        if (!sub.p) return fail(address, "P clear in a pregap");
        lastTrackSeen_ = tno;
        lastIndexSeen_ = 0;
        return true;
    }
    if (beforeFirst || tno != current) return fail(address, formatText("track %d where the TOC says %d", tno, current));
    if (index < 1 || (lastTrackSeen_ == current && index != lastIndexSeen_ && index != lastIndexSeen_ + 1))
        return fail(address, "index numbers do not follow each other");
    if (relative != address - trackStart(current)) return fail(address, "relative time is wrong");
    const bool pWanted = relative == 0 || address >= nextStart - kPregapFrames;
    if (sub.p != pWanted) return fail(address, pWanted ? "P clear before a track change" : "P set inside a track");
    lastTrackSeen_ = current;
    lastIndexSeen_ = index;
    return true;
}

}  // namespace tellavine
