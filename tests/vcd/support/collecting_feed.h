#pragma once
// Stands in for the recorder subsystem behind the feed interface; keeps what it was given.

#include "vcd/recorder_hooks.h"

#include <tuple>
#include <vector>

namespace tellavine::vcd::testing {

class CollectingFeed : public RecorderHooks {
public:
    void beginRecorderCueSheet() override { entries.clear(); ++sheetsBegun; }
    bool addRecorderCueEntry(std::uint8_t track, std::uint8_t index, std::uint32_t address) override {
        entries.emplace_back(track, index, address);
        return entries.size() < capacity;
    }
    void openRecorderQueue() override { ++queuesOpened; }
    bool startRecorderFeed(SinkOwner&) override { return ++started, true; }
    void queueRecorderSector(const Mode2Sector& sector) override {
        sectorHeaders.push_back(sector[14]);
        auto decimal = [](std::uint8_t bcd) { return (bcd >> 4) * 10u + (bcd & 0x0F); };
        addresses.push_back(decimal(sector[12]) * 4500u + decimal(sector[13]) * 75u + decimal(sector[14]));
    }
    void closeRecorderQueue(bool complete) override { closedComplete = complete; ++closed; }

    std::vector<std::tuple<int, int, std::uint32_t>> entries;
    std::size_t capacity = 300;
    int sheetsBegun = 0, queuesOpened = 0, started = 0, closed = 0;
    bool closedComplete = false;
    std::vector<std::uint8_t> sectorHeaders;
    std::vector<std::uint32_t> addresses;
};

}  // namespace tellavine::vcd::testing
