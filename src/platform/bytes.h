#pragma once
// Explicit little-, big- and both-endian writers and readers over byte buffers. Every
// on-disc and on-wire layout (project file, ISO records, control files, sectors, cue
// sheets, sub-channel) is built with these, field by field, never by casting structs.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellavine {

// Appends to a growable buffer, or writes at a position with patch*() for sizes that
// are only known at the end.
class ByteWriter {
public:
    ByteWriter() = default;
    explicit ByteWriter(std::size_t reserve) { bytes_.reserve(reserve); }

    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16le(std::uint16_t value);
    void u16be(std::uint16_t value);
    void u32le(std::uint32_t value);
    void u32be(std::uint32_t value);
    void i32le(std::int32_t value) { u32le(static_cast<std::uint32_t>(value)); }
    // ISO 9660 "both-byte orders" fields: little-endian copy, then big-endian copy.
    void u16both(std::uint16_t value) { u16le(value); u16be(value); }
    void u32both(std::uint32_t value) { u32le(value); u32be(value); }
    void bytes(std::span<const std::uint8_t> data);
    void bytes(std::string_view data);
    // `text` cut or padded with `pad` to exactly `width` bytes.
    void fixedText(std::string_view text, std::size_t width, char pad = '\0');
    void fill(std::size_t count, std::uint8_t value = 0);
    // Pads with `value` up to a multiple of `alignment` bytes.
    void padTo(std::size_t alignment, std::uint8_t value = 0);

    void patchU16le(std::size_t offset, std::uint16_t value);
    void patchU32le(std::size_t offset, std::uint32_t value);

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& data() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads from a fixed span. A read past the end yields zeros and sets failed(), so a
// parser can read a whole record and check once.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t u8();
    std::uint16_t u16le();
    std::uint16_t u16be();
    std::uint32_t u32le();
    std::uint32_t u32be();
    std::int32_t i32le() { return static_cast<std::int32_t>(u32le()); }
    // `width` bytes as text, ending at the first NUL.
    std::string fixedText(std::size_t width);
    std::span<const std::uint8_t> bytes(std::size_t count);
    void skip(std::size_t count);
    void seek(std::size_t offset);

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return data_.size() - position_; }
    bool failed() const { return failed_; }

private:
    bool take(std::size_t count);

    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace tellavine
