#include "recorder/mmc_driver.h"

#include "platform/numbered_messages.h"

namespace tellavine {

bool MmcDriver::applyWriteParameters(std::vector<std::uint8_t>& page) const {
    // Anything else would go back unchanged (a test write burning for real).
    if (!isWriteParametersPage(page)) return false;
    page[0] &= 0x7F;                                                  // PS
    page[2] = static_cast<std::uint8_t>((page[2] & ~0x1F) | 0x02);   // write type 2: session at once
    if (options_.simulate) page[2] |= 0x10;                           // test write
    if (options_.burnProof) page[2] |= 0x40;                          // BUFE, else as the drive had it
    page[3] &= 0x3F;                                                  // single session
    page[4] &= 0xF0;                                                  // data block type 0
    page[8] = 0x20;                                                   // CD-ROM XA session
    return true;
}

bool MmcDriver::prepare(std::string& errorText, const Event*) {
    bool blank = false;
    std::int64_t freeSectors = 0;
    if (!readDiscStatus(blank, freeSectors) || !blank) {
        errorText = "Disc is not empty";
        return false;
    }
    return selectSpeedAndReadLeadIn(errorText);
}

bool MmcDriver::start(const MessageTarget&, std::string& errorText, const Event* cancel) {
    ModePage parameters;
    bool written = readModePage(0x05, 56, parameters);
    if (written) written = applyWriteParameters(parameters.page) && writeModePage(parameters);
    if (!written) {
        errorText = "Error while setting write parameteres";
        return false;
    }
    if (!options_.simulate && execute(mmc_command::kSendOpcInformation) != CmdOk)
        showMessage("Power calibration failed.\n");

    std::array<std::uint8_t, 16> trackInfo{};
    execute(mmc_command::kReadTrackInformation, {}, trackInfo);  // asked as drives expect; the answer is not needed
    leadInStart = {};
    leadInStartFrames = 0;

    const auto sheet = cueSheet();
    if (!sheet.empty()) {
        const CommandResult result = execute(mmc_command::sendCueSheet(sheet.size()), sheet, {});
        if (result == CmdCheckCondition) {
            if (!senseSaysBusy()) {
                errorText = "Error while sending cue sheet";
                return false;
            }
            sleep(std::chrono::milliseconds(100));
        }
    }

    // The two-second pregap of track 1: 150 empty sector bodies from address -150.
    const std::vector<std::uint8_t> pregap(10 * kMode2BodySize, 0);
    for (std::int32_t address = -kPregapFrames; address < 0; address += 10) {
        if (!writeBlock(address, pregap, cancel)) {
            errorText = "Error while writing cd\n" + lastFailureReason();
            return false;
        }
    }
    return true;
}

bool MmcDriver::writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event* cancel) {
    const std::size_t blocks = buffer.size() / kMode2BodySize;
    if (blocks > 0xFFFF) return false;
    const auto command = mmc_command::write10(address, static_cast<std::uint16_t>(blocks));
    return executeWhileBusy(command, buffer.first(blocks * kMode2BodySize), cancel, true) == CmdOk;
}

bool MmcDriver::finish(const MessageTarget& window, std::string& errorText, const Event* cancel) {
    window.post(WM_RECORDER_WAIT);
    const int state = waitWhileNotReady(cancel);
    window.post(WM_FLUSH_CACHE);
    const bool flushed = synchronizeCache();
    loadOrEject(true);
    if (options_.simulate) loadOrEject(false);
    // Writes only reach the drive's buffer; an error in burning them comes back here.
    if (state == UnitError || !flushed) {
        errorText = kClosingErrorText;
        return false;
    }
    return true;
}

}  // namespace tellavine
