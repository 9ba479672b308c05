#include "recorder/scrambler.h"

namespace tellavine {

namespace {
std::array<std::uint8_t, kScrambledLength> makeTable() {
    std::array<std::uint8_t, kScrambledLength> table{};
    unsigned shiftRegister = 1;
    for (auto& byte : table) {
        unsigned value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            value |= (shiftRegister & 1u) << bit;
            const unsigned feedback = (shiftRegister ^ (shiftRegister >> 1)) & 1u;
            shiftRegister = (shiftRegister >> 1) | (feedback << 14);
        }
        byte = static_cast<std::uint8_t>(value);
    }
    return table;
}
}  // namespace

const std::array<std::uint8_t, kScrambledLength>& scramblerTable() {
    static const auto table = makeTable();
    return table;
}

void scrambleSector(std::span<std::uint8_t, kRawSectorSize> sector) {
    const auto& table = scramblerTable();
    for (std::size_t i = 0; i < kScrambledLength; ++i) sector[12 + i] ^= table[i];
}

}  // namespace tellavine
