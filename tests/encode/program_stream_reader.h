#pragma once
// A small reader of MPEG-1 program streams for the tests: walks pack and packet
// headers and collects each stream's presentation time stamps and payload bytes.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tellavine::testing {

struct ProgramStreamContents {
    bool wellFormed = false;
    std::string error;
    // By stream id (0xE1 normal-resolution stills, 0xE2 high-resolution, 0xC0 audio).
    std::map<int, std::vector<std::uint64_t>> presentationTimes;  // 90 kHz, in file order
    std::map<int, std::vector<std::uint8_t>> payloads;
    int packs = 0;
};

ProgramStreamContents readProgramStream(const std::vector<std::uint8_t>& bytes);

}  // namespace tellavine::testing
