// Builds the raw-mode sub-channel encoder from an arbitrary cue sheet and, when the sheet
// is accepted, runs a stretch of sectors through it and through the emulated drive's
// sub-channel checker. The first byte picks the session format and the layout.

#include "recorder/pq_channel_encoder.h"
#include "recorder/raw_write_checker.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tellavine;
    if (size < 1 || size > 2401) return 0;
    const std::uint8_t control = data[0];
    const std::span<const std::uint8_t> sheet(data + 1, size - 1);
    const std::uint8_t formats[] = {0x00, 0x10, 0x20, 0x30};
    PqSubChannel16 pq;
    PwSubChannel96 pw;
    const SubChannel& prototype = (control & 0x04) ? static_cast<const SubChannel&>(pw) : pq;
    PQChannelEncoder encoder;
    const int first = -4650;
    if (!encoder.build(prototype, formats[control & 0x03], sheet, first)) {
        if (encoder.diagnosticText().empty()) std::abort();  // every refusal says why
        return 0;
    }
    RawWriteChecker checker(first);
    std::vector<std::uint8_t> sector(2352, 0);
    for (int address = first; address < first + 6000; ++address) {
        auto& record = encoder.subChannelFor(address);
        const auto bytes = record.data();
        if (bytes.size() != prototype.dataLength()) std::abort();
        const std::uint16_t crc = subChannelCrc(std::span(record.q()).first(10));
        if (record.q()[10] != (crc >> 8) || record.q()[11] != (crc & 0xFF)) std::abort();
        checker.check(address, sector, bytes);  // may refuse; must not misbehave
    }
    return 0;
}
