#pragma once
// Raw-mode recording: the drive writes exactly what it gets, so the driver sends every
// sector of the disc itself - lead-in, the pregap of track 1, the image (whole scrambled
// 2352-byte sectors from the feed) and the lead-out - each followed by the P/Q
// sub-channel that PQChannelEncoder makes from the cue sheet.

#include "recorder/base_driver.h"
#include "recorder/pq_channel_encoder.h"

#include <memory>

namespace tellavine {

class RawDriver final : public BaseDriver {
public:
    RawDriver() : BaseDriver("RAW") {}

    bool prepare(std::string& errorText, const Event* cancel) override;
    bool start(const MessageTarget& window, std::string& errorText, const Event* cancel) override;
    bool writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event* cancel) override;
    bool finish(const MessageTarget& window, std::string& errorText, const Event* cancel) override;
    bool takesRawSectors() const override { return true; }

    // Page 05h changed for raw writing with data block type `blockType`.
    bool applyWriteParameters(std::vector<std::uint8_t>& page, int blockType) const;
    // The first lead-in address: the drive's lead-in start, or 4650 sectors before
    // address 0 when the drive reports a start below 80 minutes.
    int leadInAddress() const;
    int dataBlockType() const { return blockType_; }
    std::size_t sectorSize() const { return sectorSize_; }
    const PQChannelEncoder& encoder() const { return encoder_; }

private:
    // Writes `count` driver-made sectors from `address` whose headers count from
    // `headerStart` (absolute frames), in groups of at most 27.
    bool writeMadeSectors(int address, int count, int headerStart);

    std::unique_ptr<SubChannel> prototype_;
    PQChannelEncoder encoder_;
    int blockType_ = 0;
    std::size_t sectorSize_ = kRawSectorSize;
    std::vector<std::uint8_t> block_;
    std::vector<std::uint8_t> work_;
};

}  // namespace tellavine
