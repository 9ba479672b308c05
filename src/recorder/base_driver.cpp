#include "recorder/base_driver.h"

#include "recorder/scsi_sense.h"
#include "recorder/sense_text.h"

#include <thread>

namespace tellavine {

namespace mmc_command {

std::array<std::uint8_t, 10> write10(std::int32_t address, std::uint16_t blocks) {
    const auto a = static_cast<std::uint32_t>(address);  // negative addresses in two's complement
    return {0x2A, 0x00, static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(a >> 16),
            static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a), 0x00,
            static_cast<std::uint8_t>(blocks >> 8), static_cast<std::uint8_t>(blocks), 0x00};
}

std::array<std::uint8_t, 12> setCdSpeed(std::uint16_t writeSpeed) {
    return {0xBB, 0x00, 0xFF, 0xFF, static_cast<std::uint8_t>(writeSpeed >> 8),
            static_cast<std::uint8_t>(writeSpeed), 0, 0, 0, 0, 0, 0};
}

std::array<std::uint8_t, 10> sendCueSheet(std::size_t length) {
    return {0x5D, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length), 0};
}

std::array<std::uint8_t, 10> modeSelect10(std::uint16_t parameterLength) {
    return {0x55, 0x10, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(parameterLength >> 8),
            static_cast<std::uint8_t>(parameterLength), 0};
}

std::array<std::uint8_t, 12> blank(bool full) {
    // Immediate bit set; blanking type 0 = whole disc, 1 = minimal.
    return {0xA1, static_cast<std::uint8_t>(full ? 0x10 : 0x11), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

std::array<std::uint8_t, 6> startStopUnit(bool eject) {
    return {0x1B, 0, 0, 0, static_cast<std::uint8_t>(eject ? 0x02 : 0x03), 0};
}

}  // namespace mmc_command

BaseDriver::BaseDriver(std::string name) : name_(std::move(name)) {}

bool BaseDriver::setCueSheet(std::span<const std::uint8_t> cueSheet) {
    if (cueSheet.size() % kCueSheetEntryLength != 0 || cueSheet.size() > kMaxCueSheetBytes) {
        cueSheet_.clear();
        return false;
    }
    cueSheet_.assign(cueSheet.begin(), cueSheet.end());
    return true;
}

CommandResult BaseDriver::execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                  std::span<std::uint8_t> dataIn) {
    if (!transport_) return CmdFailed;
    lastResult_ = transport_->execute(cdb, dataOut, dataIn);
    return lastResult_;
}

std::string BaseDriver::lastFailureReason() const {
    if (!transport_) return "No recorder is attached.";
    if (lastResult_ == CmdCheckCondition) return describeSense(transport_->senseData());
    const std::string text = transport_->failureText();
    return text.empty() ? "The drive gave no reason." : text;
}

void BaseDriver::sleep(std::chrono::milliseconds duration) const {
    if (sleep_)
        sleep_(duration);
    else
        std::this_thread::sleep_for(duration);
}

void BaseDriver::showMessage(const std::string& text) const {
    if (prompt_)
        prompt_->showText(text, PromptButtons::Ok);
    else
        ConsolePrompt().showText(text, PromptButtons::Ok);
}

bool BaseDriver::senseSaysBusy() const {
    if (!transport_) return false;
    const SenseBytes sense = transport_->senseData();
    return (sense[2] & 0x0F) == kSenseNotReady && sense[7] >= 6 && sense[12] == 0x04 &&
           (sense[13] == 0x07 || sense[13] == 0x08);
}

bool BaseDriver::senseSaysNoMedium() const {
    if (!transport_) return false;
    const SenseBytes sense = transport_->senseData();
    return (sense[2] & 0x0F) == kSenseNotReady && sense[7] >= 6 && sense[12] == 0x3A;
}

CommandResult BaseDriver::executeWhileBusy(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                           const Event* cancel, bool pollCancel) {
    // A drive that stays busy for minutes is not coming back; the feed must not hang on it.
    constexpr int kMostBusyAnswers = 3000;
    for (int tries = 0;; ++tries) {
        if (pollCancel && cancel && cancel->isSet()) return CmdFailed;
        const CommandResult result = execute(cdb, dataOut, {});
        if (result != CmdCheckCondition || !senseSaysBusy() || tries == kMostBusyAnswers) return result;
        sleep(std::chrono::milliseconds(100));
    }
}

int BaseDriver::testUnitReady() {
    switch (execute(mmc_command::kTestUnitReady)) {
        case CmdOk: return UnitReady;
        case CmdFailed: return UnitError;
        case CmdCheckCondition: break;
    }
    const int key = transport_->senseData()[2] & 0x0F;
    if (key == kSenseNotReady) return UnitNotReady;
    if (key == kSenseUnitAttention) return UnitReady;
    return UnitError;
}

int BaseDriver::waitWhileNotReady(const Event* cancel) {
    // A drive without a disc stays NOT READY for ever; only "in progress" is worth a wait.
    for (;;) {
        const int state = testUnitReady();
        if (state != UnitNotReady || senseSaysNoMedium()) return state;
        if (cancel && cancel->isSet()) return state;
        sleep(std::chrono::milliseconds(1000));
    }
}

bool BaseDriver::readDiscStatus(bool& blank, std::int64_t& freeSectors) {
    std::array<std::uint8_t, 34> info{};
    freeSectors = 0;
    if (execute(mmc_command::kReadDiscInformation, {}, info) != CmdOk) return false;
    blank = (info[2] & 0x03) == 0;
    if (info[21] == 0xFF && info[22] == 0xFF && info[23] == 0xFF) return true;
    freeSectors = framesOf({info[21], info[22], info[23]}) - kPregapFrames;
    return true;
}

std::optional<bool> BaseDriver::discIsErasable() {
    std::array<std::uint8_t, 34> info{};
    if (execute(mmc_command::kReadDiscInformation, {}, info) != CmdOk) return std::nullopt;
    return (info[2] & 0x10) != 0;
}

bool BaseDriver::setWriteSpeed(std::uint16_t kbPerSecond) {
    return execute(mmc_command::setCdSpeed(kbPerSecond)) == CmdOk;
}

bool BaseDriver::blank(bool full) { return execute(mmc_command::blank(full)) == CmdOk; }

bool BaseDriver::loadOrEject(bool eject) {
    if (execute(mmc_command::startStopUnit(eject)) != CmdOk) return false;
    // After a medium change the next command opens the device afresh.
    transport_->closeDevice();
    return true;
}

bool BaseDriver::synchronizeCache() { return executeWhileBusy(mmc_command::kSynchronizeCache, {}, nullptr, false) == CmdOk; }

bool BaseDriver::readModePage(std::uint8_t pageCode, std::size_t resultLength, ModePage& result) {
    std::vector<std::uint8_t> answer(resultLength + 108, 0);
    if (execute(scsi_identify::modeSenseCommand(pageCode, resultLength), {}, answer) != CmdOk) return false;
    result.page = scsi_identify::pageFromModeSense(answer, resultLength);
    if (result.page.empty()) return false;
    std::copy_n(answer.begin(), 8, result.header.begin());
    const std::size_t descriptorLength = (std::size_t{answer[6]} << 8) | answer[7];
    result.blockDescriptor.fill(0);
    if (descriptorLength >= 8) std::copy_n(answer.begin() + 8, 8, result.blockDescriptor.begin());
    return true;
}

bool BaseDriver::writeModePage(const ModePage& page) {
    if (page.page.size() < 2) return false;
    const std::size_t pageBytes = std::size_t{page.page[1]} + 2;
    if (page.page.size() < pageBytes) return false;
    // Header: mode data length and block descriptor length zero, medium type and
    // device-specific parameter as the drive reported them; no block descriptor.
    std::vector<std::uint8_t> parameters(8, 0);
    parameters[2] = page.header[2];
    parameters[3] = page.header[3];
    parameters.insert(parameters.end(), page.page.begin(), page.page.begin() + static_cast<std::ptrdiff_t>(pageBytes));
    const auto command = mmc_command::modeSelect10(static_cast<std::uint16_t>(parameters.size()));
    return execute(command, parameters, {}) == CmdOk;
}

bool BaseDriver::selectSpeedAndReadLeadIn(std::string& errorText) {
    if (!setWriteSpeed(kSpeedTable[static_cast<std::size_t>(options_.takeSpeedIndex())].kbPerSecond)) {
        errorText = "Error while selecting writing speed";
        return false;
    }
    if (!readLeadInInfo()) {
        errorText = "Error while getting session information";
        return false;
    }
    return true;
}

bool BaseDriver::readLeadInInfo() {
    std::array<std::uint8_t, 34> info{};
    if (execute(mmc_command::kReadDiscInformation, {}, info) != CmdOk) return false;
    leadInStart = {info[17], info[18], info[19]};
    // A time no disc can have (FF:FF:FF says nothing more can be written) would place
    // the raw lead-in after the program area.
    if (leadInStart.second > 59 || leadInStart.frame > 74 || leadInStart.minute > 99) return false;
    leadInStartFrames = framesOf(leadInStart);
    if (leadInStartFrames < 80 * kFramesPerMinute) {
        leadInLength = kFramesPerMinute;
        leadOutLength = 2250;  // 00:30:00
    } else {
        leadInLength = 100 * kFramesPerMinute - leadInStartFrames;
        leadOutLength = 6750;  // 01:30:00
    }
    return true;
}

}  // namespace tellavine
