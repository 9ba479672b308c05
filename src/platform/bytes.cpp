#include "platform/bytes.h"

#include <algorithm>
#include <cassert>

namespace tellavine {

void ByteWriter::u16le(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u16be(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value >> 8));
    u8(static_cast<std::uint8_t>(value));
}

void ByteWriter::u32le(std::uint32_t value) {
    u16le(static_cast<std::uint16_t>(value));
    u16le(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::u32be(std::uint32_t value) {
    u16be(static_cast<std::uint16_t>(value >> 16));
    u16be(static_cast<std::uint16_t>(value));
}

void ByteWriter::bytes(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::bytes(std::string_view data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::fixedText(std::string_view text, std::size_t width, char pad) {
    const auto used = std::min(text.size(), width);
    bytes(text.substr(0, used));
    fill(width - used, static_cast<std::uint8_t>(pad));
}

void ByteWriter::fill(std::size_t count, std::uint8_t value) {
    bytes_.insert(bytes_.end(), count, value);
}

void ByteWriter::padTo(std::size_t alignment, std::uint8_t value) {
    if (alignment == 0) return;
    const auto rest = bytes_.size() % alignment;
    if (rest) fill(alignment - rest, value);
}

void ByteWriter::patchU16le(std::size_t offset, std::uint16_t value) {
    assert(offset + 2 <= bytes_.size());
    bytes_[offset] = static_cast<std::uint8_t>(value);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void ByteWriter::patchU32le(std::size_t offset, std::uint32_t value) {
    patchU16le(offset, static_cast<std::uint16_t>(value));
    patchU16le(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

bool ByteReader::take(std::size_t count) {
    if (failed_ || count > remaining()) {
        failed_ = true;
        position_ = data_.size();
        return false;
    }
    return true;
}

std::uint8_t ByteReader::u8() {
    if (!take(1)) return 0;
    return data_[position_++];
}

std::uint16_t ByteReader::u16le() {
    if (!take(2)) return 0;
    const std::uint16_t value = data_[position_] | (data_[position_ + 1] << 8);
    position_ += 2;
    return value;
}

std::uint16_t ByteReader::u16be() {
    if (!take(2)) return 0;
    const std::uint16_t value = (data_[position_] << 8) | data_[position_ + 1];
    position_ += 2;
    return value;
}

std::uint32_t ByteReader::u32le() {
    const std::uint32_t low = u16le();
    const std::uint32_t high = u16le();
    return failed_ ? 0 : (low | (high << 16));
}

std::uint32_t ByteReader::u32be() {
    const std::uint32_t high = u16be();
    const std::uint32_t low = u16be();
    return failed_ ? 0 : ((high << 16) | low);
}

std::string ByteReader::fixedText(std::size_t width) {
    const auto field = bytes(width);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t count) {
    if (!take(count)) return {};
    const auto result = data_.subspan(position_, count);
    position_ += count;
    return result;
}

void ByteReader::skip(std::size_t count) {
    if (take(count)) position_ += count;
}

void ByteReader::seek(std::size_t offset) {
    if (offset > data_.size()) {
        failed_ = true;
        position_ = data_.size();
        return;
    }
    position_ = offset;
}

}  // namespace tellavine
