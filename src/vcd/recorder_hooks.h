#pragma once
// What the image sink needs from the recorder when the build writes to a disc instead
// of a CUE/BIN pair. The recorder session implements this interface and hands it to the
// build as its sink's target; the sink calls it on the build thread.
//
// Order of calls for one image:
//   beginRecorderCueSheet                      (always, image mode too)
//   openRecorderQueue                          (recorder mode, when the sink opens)
//   addRecorderCueEntry ... (lead-out last)    (always)
//   startRecorderFeed                          (recorder mode, after the lead-out entry)
//   queueRecorderSector ...                    (recorder mode, one per 2352-byte sector)
//   closeRecorderQueue(complete)               (recorder mode, when the sink is released)
// Without hooks the calls are skipped; recorder mode then fails at startRecorderFeed
// with a clear reason.

#include "platform/sink_owner.h"
#include "vcd/sector.h"

#include <cstdint>
#include <memory>

namespace tellavine::vcd {

// Track number of the lead-out entry of a cue sheet.
constexpr std::uint8_t kLeadOutTrack = 0xAA;

class RecorderHooks {
public:
    virtual ~RecorderHooks() = default;

    // Starts a new, empty cue sheet holding only its lead-in entry.
    virtual void beginRecorderCueSheet() = 0;
    // Appends one entry; `absoluteAddress` is lsn + 150, except 0 for index 0 of track 1.
    // Track kLeadOutTrack (index 1) is the lead-out and completes the sheet. False when
    // the sheet is full; the sink then fails the image.
    virtual bool addRecorderCueEntry(std::uint8_t track, std::uint8_t index, std::uint32_t absoluteAddress) = 0;
    // Resets the sector queue for a new image (the next raw address becomes 150).
    virtual void openRecorderQueue() = 0;
    // Starts the feed thread that writes the queued sectors; false when it cannot start.
    // The owner outlives the feed (it is the build's record).
    virtual bool startRecorderFeed(SinkOwner& owner) = 0;
    // One finished sector, in increasing sector order. May block while the queue is full.
    virtual void queueRecorderSector(const Mode2Sector& sector) = 0;
    // complete: queues what remains and the end marker, so the feed finishes the disc.
    // Not complete (the image stopped early: a write failed, the build was cancelled):
    // the feed must stop without finishing and without waiting for more sectors.
    virtual void closeRecorderQueue(bool complete) = 0;
};

}  // namespace tellavine::vcd
