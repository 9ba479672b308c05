#include "recorder/emulated_recorder.h"

#include "platform/cd_geometry.h"
#include "recorder/scrambler.h"

#include <algorithm>

namespace tellavine {

namespace {

constexpr std::size_t kMaxCueSheetLength = 2400;
constexpr std::uint8_t kDataFormXaBody = 0x20;

std::uint16_t be16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

std::size_t commandLengthForOpcode(std::uint8_t opcode) {
    switch (opcode >> 5) {
        case 0: return 6;
        case 1:
        case 2: return 10;
        case 5: return 12;
        default: return 0;
    }
}

void putPadded(std::vector<std::uint8_t>& out, std::size_t at, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
}

}  // namespace

EmulatedRecorder::EmulatedRecorder(std::string discPath, EmulatedRecorderOptions options)
    : options_(std::move(options)), disc_(std::move(discPath), options_.mediumForNewDisc) {
    // Write parameters as a drive comes up: track at once, Mode 1 blocks, CD-DA/ROM session.
    page05_[0] = 0x05;
    page05_[1] = 0x32;
    page05_[2] = static_cast<std::uint8_t>(0x01 | (options_.bufeInitially ? 0x40 : 0x00));
    page05_[3] = 0x04;
    page05_[4] = 0x08;
    page05_[15] = 150;  // audio pause length
}

EmulatedReply EmulatedRecorder::fail(const SenseCode& code) {
    EmulatedReply result;
    result.good = false;
    result.sense[0] = 0x70;  // current error, fixed format
    result.sense[2] = code.key;
    result.sense[7] = 10;    // additional sense length
    result.sense[12] = code.asc;
    result.sense[13] = code.ascq;
    lastSense_ = result.sense;
    return result;
}

EmulatedReply EmulatedRecorder::reply(std::span<std::uint8_t> dataIn, std::span<const std::uint8_t> data) {
    EmulatedReply result;
    result.dataInLength = std::min(dataIn.size(), data.size());
    std::copy_n(data.begin(), result.dataInLength, dataIn.begin());
    return result;
}

bool EmulatedRecorder::busy() {
    if (busyLeft_ <= 0) return false;
    --busyLeft_;
    return true;
}

const SenseCode* EmulatedRecorder::notReadyReason() {
    if (busy()) return &busyCode_;
    if (disc_.trayOpen()) return &sense::kTrayOpen;
    return nullptr;
}

EmulatedReply EmulatedRecorder::handle(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                       std::span<std::uint8_t> dataIn) {
    log_.emplace_back(cdb.begin(), cdb.end());
    if (cdb.empty()) return fail(sense::kInvalidOperationCode);
    const std::size_t expected = commandLengthForOpcode(cdb[0]);
    if (expected == 0) return fail(sense::kInvalidOperationCode);
    if (cdb.size() != expected) return fail(sense::kInvalidFieldInCdb);
    switch (cdb[0]) {
        case 0x12: return inquiry(cdb, dataIn);
        case 0x03: return requestSense(cdb, dataIn);
        case 0x00: return testUnitReady();
        case 0x5A: return modeSense(cdb, dataIn);
        case 0x55: return modeSelect(cdb, dataOut);
        case 0x51: return readDiscInformation(cdb, dataIn);
        case 0x52: return readTrackInformation(cdb, dataIn);
        case 0xBB: return setCdSpeed(cdb);
        case 0x54: return sendOpcInformation(cdb);
        case 0x5D: return sendCueSheet(cdb, dataOut);
        case 0x2A: return write10(cdb, dataOut);
        case 0x35: return synchronizeCache();
        case 0x1B: return startStopUnit(cdb);
        case 0xA1: return blank(cdb);
        default: return fail(sense::kInvalidOperationCode);
    }
}

EmulatedReply EmulatedRecorder::inquiry(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn) {
    if ((cdb[1] & 0x01) != 0 || cdb[2] != 0) return fail(sense::kInvalidFieldInCdb);  // no vital product data
    const std::size_t allocation = be16(cdb, 3);
    std::vector<std::uint8_t> data(96, 0);
    data[0] = 0x05;  // CD/DVD device
    data[1] = 0x80;  // removable medium
    data[2] = 0x05;
    data[3] = 0x02;  // response data format
    data[4] = static_cast<std::uint8_t>(data.size() - 5);
    putPadded(data, 8, options_.vendor, 8);
    putPadded(data, 16, options_.product, 16);
    putPadded(data, 32, options_.revision, 4);
    data.resize(std::min(data.size(), allocation));
    return reply(dataIn, data);
}

EmulatedReply EmulatedRecorder::requestSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn) {
    std::vector<std::uint8_t> data(lastSense_.begin(), lastSense_.end());
    if (data[0] == 0) {
        data[0] = 0x70;  // no sense: a fixed-format answer all the same
        data[7] = 10;
    }
    data.resize(std::min<std::size_t>(data.size(), cdb[4]));
    lastSense_ = {};
    return reply(dataIn, data);
}

EmulatedReply EmulatedRecorder::testUnitReady() {
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    return {};
}

std::vector<std::uint8_t> EmulatedRecorder::capabilitiesPage() const {
    std::vector<std::uint8_t> page(22, 0);
    page[0] = 0x2A;
    page[1] = 0x14;
    page[2] = 0x03;         // reads CD-R and CD-RW
    page[3] = 0x07;         // writes CD-R, CD-RW, test write
    page[4] = 0x80 | 0x40;  // buffer under-run protection, multi-session
    page[6] = 0x29;         // tray loader, eject, lock
    page[8] = 0x1B;  // maximum read speed 7056 kB/s
    page[9] = 0x90;
    page[18] = 0x10;  // maximum write speed 4248 kB/s (24x)
    page[19] = 0x98;
    page[20] = static_cast<std::uint8_t>(writeSpeed_ >> 8);
    page[21] = static_cast<std::uint8_t>(writeSpeed_ & 0xFF);
    return page;
}

EmulatedReply EmulatedRecorder::modeSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn) {
    const int pageControl = cdb[2] >> 6;
    const std::uint8_t pageCode = cdb[2] & 0x3F;
    if (pageControl == 3) return fail(sense::kSavingNotSupported);
    if (cdb[3] != 0) return fail(sense::kInvalidFieldInCdb);  // no subpages
    std::vector<std::uint8_t> page;
    if (pageCode == 0x05) {
        page.assign(page05_.begin(), page05_.end());
        if (pageControl == 1) std::fill(page.begin() + 2, page.end(), 0xFF);  // all changeable
    } else if (pageCode == 0x2A) {
        page = capabilitiesPage();
        if (pageControl == 1) std::fill(page.begin() + 2, page.end(), 0x00);
    } else {
        return fail(sense::kInvalidFieldInCdb);
    }
    std::vector<std::uint8_t> data(8, 0);
    const std::size_t modeDataLength = 6 + page.size();
    data[0] = static_cast<std::uint8_t>(modeDataLength >> 8);
    data[1] = static_cast<std::uint8_t>(modeDataLength & 0xFF);
    data.insert(data.end(), page.begin(), page.end());
    data.resize(std::min<std::size_t>(data.size(), be16(cdb, 7)));
    return reply(dataIn, data);
}

EmulatedReply EmulatedRecorder::modeSelect(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut) {
    if ((cdb[1] & 0x10) == 0) return fail(sense::kInvalidFieldInCdb);  // only page format
    if ((cdb[1] & 0x01) != 0) return fail(sense::kInvalidFieldInCdb);  // nothing is saved
    if (be16(cdb, 7) != dataOut.size()) return fail(sense::kParameterListLengthError);
    if (dataOut.size() < 10) return fail(sense::kParameterListLengthError);
    if (be16(dataOut, 0) != 0 || be16(dataOut, 6) != 0) return fail(sense::kInvalidFieldInParameterList);
    const auto page = dataOut.subspan(8);
    if ((page[0] & 0x3F) != 0x05) return fail(sense::kInvalidFieldInParameterList);
    if (page[1] != 0x32 || page.size() != page05_.size()) return fail(sense::kParameterListLengthError);
    if (sessionStarted_) return fail(sense::kCommandSequenceError);

    const int type = page[2] & 0x0F;
    const int blockType = page[4] & 0x0F;
    const int multiSession = page[3] >> 6;
    const std::uint8_t sessionFormat = page[8];
    if (type < 1 || type > 3) return fail(sense::kParameterValueInvalid);
    static constexpr int kBlockTypes[] = {0, 1, 2, 3, 8, 9, 10, 11, 12, 13};
    if (std::find(std::begin(kBlockTypes), std::end(kBlockTypes), blockType) == std::end(kBlockTypes))
        return fail(sense::kParameterValueInvalid);
    if (type == 3 && (blockType < 1 || blockType > 3)) return fail(sense::kParameterValueInvalid);
    const auto& refused = options_.refusedBlockTypes;
    if (type == 3 && std::find(refused.begin(), refused.end(), blockType) != refused.end())
        return fail(sense::kParameterValueInvalid);
    if (multiSession == 2) return fail(sense::kParameterValueInvalid);
    if (sessionFormat != 0x00 && sessionFormat != 0x10 && sessionFormat != 0x20)
        return fail(sense::kParameterValueInvalid);

    std::copy(page.begin(), page.end(), page05_.begin());
    page05_[0] &= 0x3F;  // PS and SPF are the drive's to report
    cueSheetTaken_ = false;
    rawFailed_ = false;
    return {};
}

EmulatedReply EmulatedRecorder::readDiscInformation(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn) {
    if ((cdb[1] & 0x07) != 0) return fail(sense::kInvalidFieldInCdb);  // standard disc information only
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    std::vector<std::uint8_t> data(34, 0);
    data[1] = 32;  // disc information length
    const bool erasable = disc_.medium() == EmulatedMedium::CdRw;
    int discStatus = 0;
    int sessionState = 0;
    switch (disc_.status()) {
        case EmulatedDiscStatus::Blank: discStatus = 0; sessionState = 0; break;
        case EmulatedDiscStatus::Incomplete: discStatus = 1; sessionState = 1; break;
        case EmulatedDiscStatus::Complete: discStatus = 2; sessionState = 3; break;
    }
    data[2] = static_cast<std::uint8_t>((erasable ? 0x10 : 0) | (sessionState << 2) | discStatus);
    data[3] = 1;  // first track on disc
    data[4] = 1;  // sessions
    data[5] = 1;
    data[6] = 1;
    data[7] = 0x20;  // unrestricted use
    data[8] = disc_.status() == EmulatedDiscStatus::Complete ? 0x20 : 0x00;
    if (disc_.status() == EmulatedDiscStatus::Blank) {
        data[17] = static_cast<std::uint8_t>(options_.leadInMinute);
        data[18] = static_cast<std::uint8_t>(options_.leadInSecond);
        data[19] = static_cast<std::uint8_t>(options_.leadInFrame);
        const Msf last = msfOf(options_.lastLeadOutFrames);
        data[21] = static_cast<std::uint8_t>(last.minute);
        data[22] = static_cast<std::uint8_t>(last.second);
        data[23] = static_cast<std::uint8_t>(last.frame);
    } else {
        std::fill(data.begin() + 16, data.begin() + 24, 0xFF);  // nothing more can be written
    }
    data.resize(std::min<std::size_t>(data.size(), be16(cdb, 7)));
    return reply(dataIn, data);
}

EmulatedReply EmulatedRecorder::readTrackInformation(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> dataIn) {
    const int addressType = cdb[1] & 0x03;
    const std::uint32_t number = (std::uint32_t{cdb[2]} << 24) | (std::uint32_t{cdb[3]} << 16) |
                                 (std::uint32_t{cdb[4]} << 8) | cdb[5];
    if (addressType != 1 || (number != 0xFF && number != 1)) return fail(sense::kInvalidFieldInCdb);
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (disc_.status() != EmulatedDiscStatus::Blank && number == 0xFF) return fail(sense::kInvalidFieldInCdb);
    std::vector<std::uint8_t> data(36, 0);
    data[1] = 34;
    data[2] = 1;  // track 1
    data[3] = 1;  // session 1
    data[5] = 0x04;  // data track
    const bool blank = disc_.status() == EmulatedDiscStatus::Blank;
    data[6] = blank ? 0x4F : 0x02;  // blank, reserved-free; else data mode 2
    data[7] = blank ? 0x01 : 0x00;  // next writable address valid
    const std::uint32_t free = blank ? options_.lastLeadOutFrames - kPregapFrames : 0;
    for (int i = 0; i < 4; ++i) data[16 + i] = static_cast<std::uint8_t>(free >> (24 - 8 * i));
    const auto size = static_cast<std::uint32_t>(blank ? free : disc_.sectors());
    for (int i = 0; i < 4; ++i) data[24 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    data.resize(std::min<std::size_t>(data.size(), be16(cdb, 7)));
    return reply(dataIn, data);
}

EmulatedReply EmulatedRecorder::setCdSpeed(std::span<const std::uint8_t> cdb) {
    if (const SenseCode* reason = notReadyReason(); reason == &busyCode_) return fail(*reason);
    const int speed = be16(cdb, 4);
    if (speed == 0) return fail(sense::kInvalidFieldInCdb);
    writeSpeed_ = speed;
    return {};
}

EmulatedReply EmulatedRecorder::sendOpcInformation(std::span<const std::uint8_t> cdb) {
    if ((cdb[1] & 0x01) != 0 && be16(cdb, 7) != 0) return fail(sense::kInvalidFieldInCdb);
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (options_.opcFails) return fail(sense::kPowerCalibrationError);
    return {};
}

const SenseCode* EmulatedRecorder::takeCueSheet(std::span<const std::uint8_t> sheet) {
    if (sheet.empty() || sheet.size() % 8 != 0 || sheet.size() > kMaxCueSheetLength)
        return &sense::kParameterListLengthError;
    const std::size_t count = sheet.size() / 8;
    std::vector<CueTrackEntry> tracks;
    int previousFrames = -1;
    bool leadOutSeen = false;
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = sheet.subspan(i * 8, 8);
        const std::uint8_t ctlAdr = entry[0], tno = entry[1], index = entry[2], form = entry[3];
        if ((ctlAdr & 0x0F) != 1) return &sense::kInvalidFieldInParameterList;  // no catalog or ISRC entries
        if (entry[4] != 0x00 && entry[4] != 0x80) return &sense::kInvalidFieldInParameterList;
        if (entry[5] > 99 || entry[6] > 59 || entry[7] > 74) return &sense::kInvalidFieldInParameterList;
        const int frames = framesOf({entry[5], entry[6], entry[7]});
        if (i == 0) {
            // The lead-in comes first, at 00:00:00.
            if (tno != 0 || index != 0 || frames != 0) return &sense::kInvalidFieldInParameterList;
            continue;
        }
        if (tno == 0 || leadOutSeen) return &sense::kInvalidFieldInParameterList;
        if (frames <= previousFrames) return &sense::kInvalidFieldInParameterList;
        previousFrames = frames;
        if (tno == 0xAA) {
            if (index != 1 || i + 1 != count || tracks.empty()) return &sense::kInvalidFieldInParameterList;
            leadOutSeen = true;
            leadOutAddress_ = frames - kPregapFrames;
            continue;
        }
        if (tno > 99 || index > 99) return &sense::kInvalidFieldInParameterList;
        if (form != kDataFormXaBody || (ctlAdr & 0x40) == 0) return &sense::kInvalidFieldInParameterList;
        if (tracks.empty()) {
            if (tno != 1) return &sense::kInvalidFieldInParameterList;
        } else if (tno == tracks.back().track) {
            if (index != tracks.back().index + 1) return &sense::kInvalidFieldInParameterList;
        } else if (tno != tracks.back().track + 1 || index > 1 || tracks.back().index < 1) {
            return &sense::kInvalidFieldInParameterList;
        }
        if (tracks.empty() && index != 0) return &sense::kInvalidFieldInParameterList;
        tracks.push_back({tno, index, frames - kPregapFrames});
    }
    if (!leadOutSeen || tracks.empty() || tracks.back().index < 1) return &sense::kInvalidFieldInParameterList;
    // Track 1 starts with its two-second pregap at the very start of the program area.
    if (tracks.size() < 2 || tracks[0].address != -kPregapFrames || tracks[1].track != 1 || tracks[1].address != 0)
        return &sense::kInvalidFieldInParameterList;
    if (leadOutAddress_ + kPregapFrames > options_.lastLeadOutFrames) return &sense::kAddressOutOfRange;
    cueEntries_ = std::move(tracks);
    return nullptr;
}

EmulatedReply EmulatedRecorder::sendCueSheet(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut) {
    const std::size_t length = (std::size_t{cdb[6]} << 16) | (std::size_t{cdb[7]} << 8) | cdb[8];
    if (length != dataOut.size()) return fail(sense::kParameterListLengthError);
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (writeType() != 2 || sessionStarted_) return fail(sense::kCommandSequenceError);
    if (disc_.status() != EmulatedDiscStatus::Blank) return fail(sense::kInvalidAddressForWrite);
    if (const SenseCode* refusal = takeCueSheet(dataOut)) {
        cueSheetTaken_ = false;
        return fail(*refusal);
    }
    cueSheetTaken_ = true;
    nextWriteAddress_ = -kPregapFrames;
    sectorsWritten_ = 0;
    return {};
}

void EmulatedRecorder::abortSession() {
    // A recording that stops half-way leaves a disc nobody can use.
    if (sessionStarted_ && !testWrite()) disc_.markIncomplete();
    sessionStarted_ = false;
    cueSheetTaken_ = false;
    raw_.reset();
}

int EmulatedRecorder::rawLeadInAddress() const {
    const int frames = framesOf({options_.leadInMinute, options_.leadInSecond, options_.leadInFrame});
    if (frames >= 80 * kFramesPerMinute) return frames - (100 * kFramesPerMinute + kPregapFrames);
    return -(kFramesPerMinute + kPregapFrames);
}

EmulatedReply EmulatedRecorder::rawWrite(std::int32_t address, int count, std::span<const std::uint8_t> dataOut) {
    const std::size_t blockLength = (page05_[4] & 0x0F) == 1 ? kRawSectorSize + 16 : kRawSectorSize + 96;
    if (disc_.status() != EmulatedDiscStatus::Blank || rawFailed_) return fail(sense::kInvalidAddressForWrite);
    if (dataOut.size() != static_cast<std::size_t>(count) * blockLength) return fail(sense::kInvalidFieldInCdb);
    if (!raw_) raw_.emplace(rawLeadInAddress());
    if (address != raw_->nextAddress()) return fail(sense::kInvalidAddressForWrite);
    sessionStarted_ = true;
    std::array<std::uint8_t, kRawSectorSize> sector{};
    for (int i = 0; i < count; ++i) {
        const auto bytes = dataOut.subspan(static_cast<std::size_t>(i) * blockLength, blockLength);
        std::copy_n(bytes.begin(), kRawSectorSize, sector.begin());
        scrambleSector(sector);
        const int sectorAddress = address + i;
        if (!raw_->check(sectorAddress, sector, bytes.subspan(kRawSectorSize))) {
            rawProblem_ = raw_->problem();
            rawFailed_ = true;
            abortSession();
            return fail(sense::kInvalidFieldInParameterList);
        }
        const auto leadOut = raw_->leadOutAddress();
        if (sectorAddress < 0 || !leadOut || sectorAddress >= *leadOut || testWrite()) continue;
        if (!disc_.writeSector(sectorAddress, sector)) {
            abortSession();
            return fail(sense::kWriteError);
        }
    }
    sectorsWritten_ = std::max(0, raw_->nextAddress());
    return {};
}

EmulatedReply EmulatedRecorder::write10(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut) {
    const auto address = static_cast<std::int32_t>((std::uint32_t{cdb[2]} << 24) | (std::uint32_t{cdb[3]} << 16) |
                                                   (std::uint32_t{cdb[4]} << 8) | cdb[5]);
    const int count = be16(cdb, 7);
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (writeBusyLeft_ > 0) {
        --writeBusyLeft_;
        return fail(sense::kLongWriteInProgress);
    }
    if (options_.failWriteNumber > 0 && ++writesTaken_ == options_.failWriteNumber) {
        abortSession();
        return fail(sense::kWriteError);
    }
    if (writeType() == 3) return rawWrite(address, count, dataOut);
    if (writeType() != 2 || !cueSheetTaken_) return fail(sense::kCommandSequenceError);
    if (dataOut.size() != static_cast<std::size_t>(count) * kMode2BodySize) return fail(sense::kInvalidFieldInCdb);
    if (address != nextWriteAddress_) return fail(sense::kInvalidAddressForWrite);
    if (address + count > leadOutAddress_) return fail(sense::kAddressOutOfRange);

    sessionStarted_ = true;
    std::vector<std::uint8_t> sector(kRawSectorSize, 0);
    for (int i = 0; i < count; ++i) {
        const int sectorAddress = address + i;
        if (sectorAddress < 0 || testWrite()) continue;  // the pregap of track 1 is not kept
        std::fill(sector.begin() + 1, sector.begin() + 11, 0xFF);
        const auto header = bcdMsfOf(sectorAddress + kPregapFrames);
        std::copy(header.begin(), header.end(), sector.begin() + 12);
        sector[15] = 2;
        const auto body = dataOut.subspan(static_cast<std::size_t>(i) * kMode2BodySize, kMode2BodySize);
        std::copy(body.begin(), body.end(), sector.begin() + 16);
        if (!disc_.writeSector(sectorAddress, sector)) {
            abortSession();
            return fail(sense::kWriteError);
        }
    }
    nextWriteAddress_ = address + count;
    sectorsWritten_ = std::max(0, nextWriteAddress_);
    if (options_.busyEveryWrites > 0 && ++writesSeen_ % options_.busyEveryWrites == 0)
        writeBusyLeft_ = options_.busyAnswers;
    if (nextWriteAddress_ == leadOutAddress_) {
        // The drive now writes lead-in and lead-out on its own and is busy meanwhile.
        if (!testWrite() && !disc_.markComplete(leadOutAddress_)) {
            abortSession();
            return fail(sense::kWriteError);
        }
        sessionStarted_ = false;
        cueSheetTaken_ = false;
        busyLeft_ = options_.closingBusyAnswers;
        busyCode_ = sense::kLongWriteInProgress;
    }
    return {};
}

EmulatedReply EmulatedRecorder::synchronizeCache() {
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (raw_) {
        // A raw disc is whole once its lead-out is written; two seconds of it will do.
        const auto leadOut = raw_->leadOutAddress();
        if (!leadOut || raw_->nextAddress() < *leadOut + kPregapFrames) {
            abortSession();
            return fail(sense::kCommandSequenceError);
        }
        if (!testWrite() && !disc_.markComplete(*leadOut)) {
            abortSession();
            return fail(sense::kWriteError);
        }
        raw_.reset();
        sessionStarted_ = false;
        busyLeft_ = options_.closingBusyAnswers;
        busyCode_ = sense::kLongWriteInProgress;
        return {};
    }
    if (sessionStarted_) {
        abortSession();
        return fail(sense::kCommandSequenceError);
    }
    return {};
}

EmulatedReply EmulatedRecorder::startStopUnit(std::span<const std::uint8_t> cdb) {
    if ((cdb[4] & 0xF0) != 0) return fail(sense::kInvalidFieldInCdb);  // no power conditions
    if (busy()) return fail(busyCode_);
    const bool loadEject = (cdb[4] & 0x02) != 0;
    const bool start = (cdb[4] & 0x01) != 0;
    if (loadEject) {
        if (!start) abortSession();
        disc_.setTrayOpen(!start);
    }
    return {};
}

EmulatedReply EmulatedRecorder::blank(std::span<const std::uint8_t> cdb) {
    const int type = cdb[1] & 0x07;
    const bool immediate = (cdb[1] & 0x10) != 0;
    if (type > 1) return fail(sense::kInvalidFieldInCdb);  // only full and minimal blanking
    if (const SenseCode* reason = notReadyReason()) return fail(*reason);
    if (disc_.medium() != EmulatedMedium::CdRw) return fail(sense::kIncompatibleMedium);
    abortSession();
    if (!disc_.erase()) return fail(sense::kWriteError);
    if (immediate) {
        busyLeft_ = options_.blankBusyAnswers;
        busyCode_ = sense::kOperationInProgress;
    }
    return {};
}

}  // namespace tellavine
