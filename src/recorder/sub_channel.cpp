#include "recorder/sub_channel.h"

#include "platform/cd_geometry.h"

#include <algorithm>

namespace tellavine {

namespace {
std::array<std::uint16_t, 256> makeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte << 8;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
        table[byte] = static_cast<std::uint16_t>(crc);
    }
    return table;
}
}  // namespace

std::uint16_t subChannelCrc(std::span<const std::uint8_t> bytes) {
    static const auto table = makeCrcTable();
    std::uint16_t crc = 0;
    for (std::uint8_t byte : bytes) crc = static_cast<std::uint16_t>((crc << 8) ^ table[((crc >> 8) ^ byte) & 0xFF]);
    return crc;
}

void SubChannel::calcCrc() {
    const std::uint16_t crc = subChannelCrc(std::span(q_).first(10));
    q_[10] = static_cast<std::uint8_t>(crc >> 8);
    q_[11] = static_cast<std::uint8_t>(crc & 0xFF);
}

std::span<const std::uint8_t> PqSubChannel16::data() {
    std::copy(q_.begin(), q_.end(), bytes_.begin());
    bytes_[12] = bytes_[13] = bytes_[14] = 0;
    bytes_[15] = p_ ? 0x80 : 0x00;
    return bytes_;
}

std::span<const std::uint8_t> PwSubChannel96::data() {
    std::array<std::uint8_t, 12> onDisc = q_;
    onDisc[10] = static_cast<std::uint8_t>(~onDisc[10]);
    onDisc[11] = static_cast<std::uint8_t>(~onDisc[11]);
    for (std::size_t k = 0; k < 12; ++k)
        for (std::size_t j = 0; j < 8; ++j) {
            const bool qBit = (onDisc[k] >> (7 - j)) & 1;
            bytes_[8 * k + j] = static_cast<std::uint8_t>((p_ ? 0x80 : 0) | (qBit ? 0x40 : 0));
        }
    return bytes_;
}

bool decodeSubChannel(std::span<const std::uint8_t> bytes, DecodedSubChannel& decoded) {
    if (bytes.size() == 16) {
        std::copy_n(bytes.begin(), 12, decoded.q.begin());
        decoded.p = (bytes[15] & 0x80) != 0;
        return true;
    }
    if (bytes.size() != 96) return false;
    decoded.q.fill(0);
    decoded.p = (bytes[0] & 0x80) != 0;
    for (std::size_t i = 0; i < 96; ++i) {
        if (((bytes[i] & 0x80) != 0) != decoded.p) return false;
        if (bytes[i] & 0x40) decoded.q[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
    }
    decoded.q[10] = static_cast<std::uint8_t>(~decoded.q[10]);
    decoded.q[11] = static_cast<std::uint8_t>(~decoded.q[11]);
    return true;
}

}  // namespace tellavine
