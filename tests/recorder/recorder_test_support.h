#pragma once
// Helpers shared by the recorder tests: image sectors with a recognisable payload and a
// transport that scripts failures; with them the shared recording receiver and prompt.

#include "recorder/msf.h"
#include "support/recording_prompt.h"
#include "support/recording_receiver.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::testing {

// A 2352-byte Mode 2 sector of image sector `lsn`: sync, header, then bytes that depend
// on the sector number and `seed`, so that any misplaced or altered byte shows.
inline std::vector<std::uint8_t> makeImageSector(int lsn, unsigned seed = 1) {
    std::vector<std::uint8_t> sector(2352, 0);
    for (int i = 1; i <= 10; ++i) sector[static_cast<std::size_t>(i)] = 0xFF;
    const Msf time = msfOf(lsn + 150);
    sector[12] = toBcd(time.minute);
    sector[13] = toBcd(time.second);
    sector[14] = toBcd(time.frame);
    sector[15] = 2;
    std::uint32_t state = seed * 2654435761u + static_cast<std::uint32_t>(lsn) * 40503u + 1u;
    for (std::size_t i = 16; i < sector.size(); ++i) {
        state = state * 1103515245u + 12345u;
        sector[i] = static_cast<std::uint8_t>(state >> 16);
    }
    return sector;
}

}  // namespace tellavine::testing

#include "recorder/emulated_transport.h"

#include <functional>
#include <map>

namespace tellavine::testing {

// Passes commands to an emulated drive, remembers each with its data-out length, and
// fails the n-th command of a given operation code on request.
class ScriptedTransport : public ScsiTransport {
public:
    struct Sent {
        std::vector<std::uint8_t> cdb;
        std::size_t dataOut = 0;
    };

    explicit ScriptedTransport(const std::string& discPath, EmulatedRecorderOptions options = {})
        : inner(discPath, std::move(options)) {
        inner.initialise(0, true);
    }

    bool initialise(int index, bool writersOnly) override { return inner.initialise(index, writersOnly); }
    bool select(int index) override { return inner.select(index); }
    void closeDevice() override { ++closes; }
    std::string backendName() const override { return "scripted"; }

    CommandResult execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                          std::span<std::uint8_t> dataIn) override {
        sent.push_back({{cdb.begin(), cdb.end()}, dataOut.size()});
        if (cdb[0] == 0x2A && cdb.size() == 10) {
            const auto address = static_cast<std::int32_t>((std::uint32_t{cdb[2]} << 24) | (std::uint32_t{cdb[3]} << 16) |
                                                           (std::uint32_t{cdb[4]} << 8) | cdb[5]);
            if (watchedWrites.count(address)) watchedWrites[address].assign(dataOut.begin(), dataOut.end());
        }
        const int seen = ++counts[cdb[0]];
        auto failure = failures.find(cdb[0]);
        if (failure != failures.end() && (failure->second == 0 || failure->second == seen)) return CmdFailed;
        const CommandResult result = inner.execute(cdb, dataOut, dataIn);
        if (result == CmdCheckCondition) saveSense(inner.senseData());
        return result;
    }

    // Fails command `opcode` on its n-th use (0: always).
    void failOn(std::uint8_t opcode, int nth = 0) { failures[opcode] = nth; }
    std::vector<std::uint8_t> opcodes() const {
        std::vector<std::uint8_t> result;
        for (const auto& command : sent) result.push_back(command.cdb[0]);
        return result;
    }

    EmulatedTransport inner;
    std::vector<Sent> sent;
    std::map<std::uint8_t, int> counts;
    std::map<std::uint8_t, int> failures;
    // Data of the WRITE(10) commands at these addresses (add the address to watch it).
    std::map<std::int32_t, std::vector<std::uint8_t>> watchedWrites;
    int closes = 0;
};

}  // namespace tellavine::testing
