#include "recorder/mmc_cue_sheet.h"

#include "platform/bytes.h"
#include "platform/cd_geometry.h"

namespace tellavine {

namespace {
constexpr std::uint8_t kCtlDataCopyPermitted = 0x61;  // data track, digital copy permitted, ADR 1
constexpr std::uint8_t kCtlData = 0x41;               // data track, ADR 1
constexpr std::uint8_t kFormXaBody = 0x20;            // CD-ROM XA sectors sent as 2336 bytes
constexpr std::uint8_t kFormLeadInOut = 0x24;
}  // namespace

void MmcCueSheet::begin() {
    bytes_.clear();
    bytes_.reserve(kMaxEntries * 8);
    overflowed_ = false;
    complete_ = false;
    append(kCtlData, 0, 0, kFormLeadInOut, 0);
}

bool MmcCueSheet::append(std::uint8_t ctlAdr, int track, int index, std::uint8_t dataForm,
                         std::int64_t absoluteAddress) {
    if (entryCount() >= kMaxEntries || absoluteAddress < 0 || absoluteAddress >= 100 * kFramesPerMinute) {
        overflowed_ = true;
        return false;
    }
    const Msf time = msfOf(static_cast<int>(absoluteAddress));
    ByteWriter entry(8);
    entry.u8(ctlAdr);
    entry.u8(static_cast<std::uint8_t>(track));
    entry.u8(static_cast<std::uint8_t>(index));
    entry.u8(dataForm);
    entry.u8(0);  // SCMS
    entry.u8(static_cast<std::uint8_t>(time.minute));
    entry.u8(static_cast<std::uint8_t>(time.second));
    entry.u8(static_cast<std::uint8_t>(time.frame));
    bytes_.insert(bytes_.end(), entry.data().begin(), entry.data().end());
    return true;
}

bool MmcCueSheet::addEntry(int track, int index, std::int64_t absoluteAddress) {
    if (track == kLeadOutTrack) return addLeadOut(absoluteAddress);
    return append(kCtlDataCopyPermitted, track, index, kFormXaBody, absoluteAddress);
}

bool MmcCueSheet::addLeadOut(std::int64_t absoluteAddress) {
    const bool added = append(kCtlData, 0xAA, 1, kFormLeadInOut, absoluteAddress);
    complete_ = added;
    return added;
}

bool MmcCueSheet::buildFromCueList(std::span<const RecorderCueEntry> cueList) {
    begin();
    int track = 0;
    int index = 0;
    const RecorderCueEntry* previous = nullptr;
    for (const RecorderCueEntry& entry : cueList) {
        const std::int64_t address = std::int64_t{entry.lsn} + kPregapFrames;
        switch (entry.kind) {
            case RecorderCueKind::TrackStart:
                ++track;
                if (previous && previous->kind == RecorderCueKind::PregapStart)
                    addEntry(track, 0, std::int64_t{previous->lsn} + kPregapFrames);
                if (track == 1) addEntry(1, 0, 0);
                index = 1;
                addEntry(track, 1, address);
                break;
            case RecorderCueKind::PregapStart:
                break;
            case RecorderCueKind::IndexMark:
                addEntry(track, ++index, address);
                break;
            case RecorderCueKind::LeadOut:
                addLeadOut(address);
                return complete();
        }
        previous = &entry;
    }
    return false;
}

}  // namespace tellavine
