#include "program_stream_reader.h"

namespace tellavine::testing {
namespace {

std::uint64_t readTimeStamp(const std::uint8_t* at) {
    return (std::uint64_t{at[0] & 0x0Eu} << 29) | (std::uint64_t{at[1]} << 22) | (std::uint64_t{at[2] & 0xFEu} << 14) |
           (std::uint64_t{at[3]} << 7) | (at[4] >> 1);
}

}  // namespace

ProgramStreamContents readProgramStream(const std::vector<std::uint8_t>& bytes) {
    ProgramStreamContents contents;
    std::size_t at = 0;
    const auto fail = [&](const std::string& why) {
        contents.error = why + " at byte " + std::to_string(at);
        return contents;
    };
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0 || bytes[at + 1] != 0 || bytes[at + 2] != 1) {
            // Sectors are zero-padded after the program end code.
            if (bytes[at] == 0) {
                ++at;
                continue;
            }
            return fail("no start code");
        }
        const int code = bytes[at + 3];
        if (code == 0xB9) {  // program end
            at += 4;
            continue;
        }
        if (code == 0xBA) {  // MPEG-1 pack header
            if ((bytes[at + 4] & 0xF0) != 0x20) return fail("not an MPEG-1 pack");
            ++contents.packs;
            at += 12;
            continue;
        }
        if (at + 6 > bytes.size()) return fail("truncated packet");
        const std::size_t length = (std::size_t{bytes[at + 4]} << 8) | bytes[at + 5];
        const std::size_t end = at + 6 + length;
        if (end > bytes.size()) return fail("packet past the end");
        if (code == 0xBB || code == 0xBE || code == 0xBF) {  // system header, padding, private 2
            at = end;
            continue;
        }
        std::size_t field = at + 6;
        while (field < end && bytes[field] == 0xFF) ++field;      // stuffing
        if (field < end && (bytes[field] & 0xC0) == 0x40) field += 2;  // STD buffer
        if (field >= end) return fail("empty packet header");
        if ((bytes[field] & 0xF0) == 0x20) {
            contents.presentationTimes[code].push_back(readTimeStamp(&bytes[field]));
            field += 5;
        } else if ((bytes[field] & 0xF0) == 0x30) {
            contents.presentationTimes[code].push_back(readTimeStamp(&bytes[field]));
            field += 10;
        } else if (bytes[field] == 0x0F) {
            field += 1;
        } else {
            return fail("bad packet header");
        }
        auto& payload = contents.payloads[code];
        payload.insert(payload.end(), bytes.begin() + static_cast<std::ptrdiff_t>(field),
                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
        at = end;
    }
    contents.wellFormed = true;
    return contents;
}

}  // namespace tellavine::testing
