#pragma once
// The recorder's cue sheet (the parameter list of SEND CUE SHEET) built from the
// image's cue list: 8-byte entries of CTL/ADR, track, index, data form, SCMS and the
// absolute time in binary minutes, seconds and frames; at most 300 entries.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tellavine {

// One entry of the image's cue list, as the image sink receives it.
enum class RecorderCueKind : std::uint8_t { TrackStart = 1, PregapStart = 2, IndexMark = 3, LeadOut = 4 };
struct RecorderCueEntry {
    std::uint32_t lsn = 0;  // 0 = first sector of the image
    RecorderCueKind kind = RecorderCueKind::TrackStart;
};

class MmcCueSheet {
public:
    static constexpr std::size_t kMaxEntries = 300;
    static constexpr int kLeadOutTrack = 0xAA;

    // Clears the sheet and writes the lead-in entry.
    void begin();
    // A track entry at an absolute address (lsn + 150); track AAh is the lead-out. False
    // when the sheet is full; the sheet then counts as overflowed and is refused whole.
    bool addEntry(int track, int index, std::int64_t absoluteAddress);
    bool addLeadOut(std::int64_t absoluteAddress);

    // The whole walk of the image sink over a cue list: index 0 of track 1 at 00:00:00,
    // a pregap entry from each PregapStart, index 1 at each TrackStart, further indexes,
    // the lead-out. False when the list has no LeadOut or needs more than 300 entries.
    bool buildFromCueList(std::span<const RecorderCueEntry> cueList);

    bool complete() const { return complete_ && !overflowed_; }
    bool overflowed() const { return overflowed_; }
    std::size_t entryCount() const { return bytes_.size() / 8; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

private:
    bool append(std::uint8_t ctlAdr, int track, int index, std::uint8_t dataForm, std::int64_t absoluteAddress);

    std::vector<std::uint8_t> bytes_;
    bool overflowed_ = false;
    bool complete_ = false;
};

}  // namespace tellavine
