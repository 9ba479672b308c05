#pragma once
// Session-at-once recording: the drive gets the cue sheet and 2336-byte Mode 2 sector
// bodies and makes sync, header, sub-channel, lead-in and lead-out itself.

#include "recorder/base_driver.h"

namespace tellavine {

class MmcDriver final : public BaseDriver {
public:

    MmcDriver() : BaseDriver("MMC") {}

    bool prepare(std::string& errorText, const Event* cancel) override;
    bool start(const MessageTarget& window, std::string& errorText, const Event* cancel) override;
    bool writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event* cancel) override;
    bool finish(const MessageTarget& window, std::string& errorText, const Event* cancel) override;

    // Page 05h changed for session-at-once writing as this run's options ask.
    bool applyWriteParameters(std::vector<std::uint8_t>& page) const;
};

}  // namespace tellavine
