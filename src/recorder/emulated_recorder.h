#pragma once
// An MMC CD recorder in software. It answers the commands the recorder engine sends with
// the state changes of a real drive (tray, blank or written disc, busy periods, test
// writes that burn nothing), checks what it receives like a strict drive (command block
// fields, mode page values, cue sheet, write addresses and block lengths) and refuses
// the rest with the sense data a drive would return. What it burns goes to an
// EmulatedDisc (emulated_disc.h). Every command it receives is logged for inspection.
//
// Session-at-once: the cue sheet must describe data tracks sent as 2336-byte Mode 2
// sector bodies (data form 20h); the drive adds sync and header and keeps the 2352-byte
// sectors of the program area.
// Raw: every sector from the lead-in start comes as 2352 scrambled bytes plus 16 (data
// block type 1) or 96 (types 2, 3) bytes of sub-channel; the drive descrambles, checks
// the sub-channel (RawWriteChecker) and keeps the program area the table of contents
// describes. A sector that fails the checks is refused and spoils the disc.

#include "recorder/emulated_disc.h"
#include "recorder/raw_write_checker.h"
#include "recorder/scsi_sense.h"

#include <array>
#include <optional>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

struct EmulatedRecorderOptions {
    EmulatedMedium mediumForNewDisc = EmulatedMedium::CdR;
    std::string vendor = "TELLAVIN";
    std::string product = "EMULATED CD-RW";
    std::string revision = "1.00";
    // Lead-in start of the last session as the disc's pre-groove reports it.
    int leadInMinute = 97, leadInSecond = 26, leadInFrame = 66;
    // Every busyEveryWrites-th WRITE(10) is answered busyAnswers times with NOT READY,
    // long write in progress, before it is taken (0: never).
    int busyEveryWrites = 0;
    int busyAnswers = 0;
    // NOT READY answers while the lead-out is written after the last sector, and while
    // an immediate BLANK runs.
    int closingBusyAnswers = 2;
    int blankBusyAnswers = 3;
    bool opcFails = false;
    // The failWriteNumber-th WRITE(10) of a session fails with a medium write error, as
    // a drive does when the burn goes wrong half-way (0: never).
    int failWriteNumber = 0;
    std::vector<int> refusedBlockTypes;  // raw data block types MODE SELECT refuses
    int lastLeadOutFrames = EmulatedDisc::kLastLeadOutFrames;  // a blank disc's capacity
    bool bufeInitially = false;  // BUFE bit of page 05h before anybody sets it
};

struct EmulatedReply {
    bool good = true;            // false: CHECK CONDITION with `sense`
    std::size_t dataInLength = 0;
    std::array<std::uint8_t, 18> sense{};
};

class EmulatedRecorder {
public:
    EmulatedRecorder(std::string discPath, EmulatedRecorderOptions options = {});

    EmulatedReply handle(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                         std::span<std::uint8_t> dataIn);

    const EmulatedDisc& disc() const { return disc_; }
    const std::vector<std::vector<std::uint8_t>>& commandLog() const { return log_; }
    void clearLog() { log_.clear(); }
    // Write speed of the last SET CD SPEED (kB/s, FFFFh = maximum).
    int writeSpeed() const { return writeSpeed_; }
    const std::array<std::uint8_t, 52>& writeParameters() const { return page05_; }
    // Sectors of the last session that went to the disc, and those of a test write.
    std::int64_t sectorsWritten() const { return sectorsWritten_; }
    // Why the last raw-mode sector was refused ("" when none was).
    const std::string& rawProblem() const { return rawProblem_; }
    // Where a raw recording must begin: the lead-in start, or 4650 sectors before
    // address 0 on a disc whose lead-in start reads below 80 minutes.
    int rawLeadInAddress() const;

private:
    struct CueTrackEntry {
        int track = 0;
        int index = 0;
        int address = 0;  // sector address, 0 = 00:02:00
    };

    EmulatedReply fail(const SenseCode& code);
    EmulatedReply reply(std::span<std::uint8_t> dataIn, std::span<const std::uint8_t> data);
    bool busy();
    // NOT READY reasons shared by every command that needs the disc; nullptr when ready.
    const SenseCode* notReadyReason();

    EmulatedReply inquiry(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn);
    EmulatedReply testUnitReady();
    EmulatedReply requestSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn);
    EmulatedReply modeSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn);
    EmulatedReply modeSelect(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut);
    EmulatedReply readDiscInformation(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn);
    EmulatedReply readTrackInformation(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn);
    EmulatedReply setCdSpeed(std::span<const std::uint8_t> cdb);
    EmulatedReply sendOpcInformation(std::span<const std::uint8_t> cdb);
    EmulatedReply sendCueSheet(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut);
    EmulatedReply rawWrite(std::int32_t address, int count, std::span<const std::uint8_t> dataOut);
    EmulatedReply write10(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut);
    EmulatedReply synchronizeCache();
    EmulatedReply startStopUnit(std::span<const std::uint8_t> cdb);
    EmulatedReply blank(std::span<const std::uint8_t> cdb);

    // Validates a cue sheet and keeps its track entries; a sense code on refusal.
    const SenseCode* takeCueSheet(std::span<const std::uint8_t> sheet);
    std::vector<std::uint8_t> capabilitiesPage() const;
    bool testWrite() const { return (page05_[2] & 0x10) != 0; }
    int writeType() const { return page05_[2] & 0x0F; }
    void abortSession();

    EmulatedRecorderOptions options_;
    EmulatedDisc disc_;
    std::vector<std::vector<std::uint8_t>> log_;
    std::array<std::uint8_t, 18> lastSense_{};
    std::array<std::uint8_t, 52> page05_{};
    int writeSpeed_ = 0xFFFF;
    int busyLeft_ = 0;
    SenseCode busyCode_ = sense::kOperationInProgress;
    int writesSeen_ = 0;
    int writesTaken_ = 0;  // WRITE(10) commands that reached the medium checks
    int writeBusyLeft_ = 0;

    // Session-at-once state between SEND CUE SHEET and the last sector.
    bool cueSheetTaken_ = false;
    std::vector<CueTrackEntry> cueEntries_;
    int leadOutAddress_ = 0;
    int nextWriteAddress_ = 0;
    bool sessionStarted_ = false;
    std::int64_t sectorsWritten_ = 0;

    // Raw state between the first lead-in sector and SYNCHRONIZE CACHE.
    std::optional<RawWriteChecker> raw_;
    bool rawFailed_ = false;
    std::string rawProblem_;
};

}  // namespace tellavine
