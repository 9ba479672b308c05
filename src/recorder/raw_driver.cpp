#include "recorder/raw_driver.h"

#include "recorder/recorder_block.h"
#include "recorder/scrambler.h"

#include <algorithm>

namespace tellavine {

bool RawDriver::applyWriteParameters(std::vector<std::uint8_t>& page, int blockType) const {
    if (!isWriteParametersPage(page)) return false;
    page[0] &= 0x7F;                                                 // PS
    page[2] = static_cast<std::uint8_t>((page[2] & ~0x1F) | 0x03);  // write type 3: raw
    if (options_.simulate) page[2] |= 0x10;
    if (options_.burnProof) page[2] |= 0x40;
    page[3] = 0;
    page[4] = static_cast<std::uint8_t>((page[4] & 0xF0) | blockType);
    page[8] = 0;
    return true;
}

int RawDriver::leadInAddress() const {
    if (leadInStartFrames >= 80 * kFramesPerMinute) return leadInStartFrames - (100 * kFramesPerMinute + kPregapFrames);
    return -(kFramesPerMinute + kPregapFrames);
}

bool RawDriver::prepare(std::string& errorText, const Event*) {
    if (!selectSpeedAndReadLeadIn(errorText)) return false;

    // Data block type 1 carries 16 bytes of P/Q; 3 (raw) and 2 (packed) carry 96 of P-W.
    prototype_.reset();
    for (int type : {1, 3, 2}) {
        ModePage parameters;
        if (!readModePage(0x05, 56, parameters) || !applyWriteParameters(parameters.page, type)) continue;
        if (!writeModePage(parameters)) continue;
        blockType_ = type;
        if (type == 1)
            prototype_ = std::make_unique<PqSubChannel16>();
        else
            prototype_ = std::make_unique<PwSubChannel96>();
        break;
    }
    if (!prototype_) {
        errorText = "Error while setting write parameteres";
        return false;
    }
    if (!encoder_.build(*prototype_, 0x20, cueSheet(), leadInAddress())) {
        errorText = "Error while making the sub-channel: " + encoder_.diagnosticText();
        return false;
    }
    sectorSize_ = kRawSectorSize + prototype_->dataLength();
    block_.assign(kSectorsPerBlock * sectorSize_, 0);
    if (!options_.simulate) execute(mmc_command::kSendOpcInformation);  // the answer does not matter
    return true;
}

bool RawDriver::writeMadeSectors(int address, int count, int headerStart) {
    work_.assign(kSectorsPerBlock * kRawSectorSize, 0);
    for (int done = 0; done < count;) {
        const int group = std::min<int>(static_cast<int>(kSectorsPerBlock), count - done);
        for (int i = 0; i < group; ++i) {
            const std::span<std::uint8_t, kRawSectorSize> sector(
                work_.data() + static_cast<std::size_t>(i) * kRawSectorSize, kRawSectorSize);
            std::fill(sector.begin(), sector.end(), 0);
            std::fill(sector.begin() + 1, sector.begin() + 11, 0xFF);
            const auto header = bcdMsfOf(headerStart + done + i);
            std::copy(header.begin(), header.end(), sector.begin() + 12);
            sector[15] = 2;
            scrambleSector(sector);
        }
        const std::span<const std::uint8_t> sectors(work_.data(), static_cast<std::size_t>(group) * kRawSectorSize);
        if (!writeBlock(address + done, sectors, nullptr)) return false;
        done += group;
    }
    return true;
}

bool RawDriver::start(const MessageTarget&, std::string& errorText, const Event*) {
    // The lead-in, its headers counting from 00:00:00, then the pregap of track 1 likewise.
    if (prototype_ && writeMadeSectors(leadInAddress(), -kPregapFrames - leadInAddress(), 0) &&
        writeMadeSectors(-kPregapFrames, kPregapFrames, 0)) {
        return true;
    }
    errorText = "Error while writing lead in";
    return false;
}

bool RawDriver::writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event* cancel) {
    if (!prototype_) return false;
    const std::size_t count = std::min(buffer.size() / kRawSectorSize, kSectorsPerBlock);
    encoder_.fill(address, buffer, count, block_.data());
    const auto command = mmc_command::write10(address, static_cast<std::uint16_t>(count));
    return executeWhileBusy(command, std::span(block_).first(count * sectorSize_), cancel, false) == CmdOk;
}

bool RawDriver::finish(const MessageTarget&, std::string& errorText, const Event* cancel) {
    const int first = static_cast<int>(dataSectorCount);
    if (!writeMadeSectors(first, leadOutLength, first + kPregapFrames)) {
        // A disc without its lead-out cannot be read; that is a failed recording.
        errorText = "Error while writing lead out";
        return false;
    }
    const bool flushed = synchronizeCache();
    const int state = waitWhileNotReady(cancel);
    block_.clear();
    work_.clear();
    loadOrEject(true);
    if (options_.simulate) loadOrEject(false);
    if (!flushed || state == UnitError) {
        errorText = kClosingErrorText;
        return false;
    }
    return true;
}

}  // namespace tellavine
