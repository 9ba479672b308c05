// Windows and OS/2 bitmaps: 1, 4, 8 bits with a palette, 16 and 32 bits with or without
// bit fields, 24 bits, RLE4 and RLE8, rows bottom-up or (negative height) top-down.
// Alpha in 32-bit files is ignored, as Windows does when drawing them.

#include "imaging/codec.h"

#include "platform/bytes.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace tellavine {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// One colour channel described by a bit mask, widened to 8 bits by repeating its bits
// (5-bit 31 becomes 255, 16 becomes 132).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!mask) return;
        shift = std::countr_zero(mask);
        bits = std::min(8, std::popcount(mask));
        if (bits < 8) bits = std::bit_width(mask >> shift);
    }
    std::uint8_t take(std::uint32_t value) const {
        if (!bits) return 0;
        std::uint32_t v = (value & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        std::uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits) wide = wide << bits | v;
        const int total = ((8 + bits - 1) / bits) * bits;
        return static_cast<std::uint8_t>(wide >> (total - 8));
    }
};

bool fail(std::string& error, const char* why) {
    error = std::string("BMP: ") + why;
    return false;
}

}  // namespace

bool decodeBmp(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    ByteReader reader(data);
    if (reader.u16le() != 0x4D42) return fail(error, "not a bitmap file");
    reader.skip(8);
    const std::uint32_t bitsOffset = reader.u32le();
    const std::uint32_t headerSize = reader.u32le();
    std::int64_t width = 0, height = 0;
    std::uint32_t bitCount = 0, compression = kRgb, coloursUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t paletteEntryBytes = 4;
    if (headerSize == 12) {  // OS/2 BITMAPCOREHEADER
        width = reader.u16le();
        height = static_cast<std::int16_t>(reader.u16le());
        reader.u16le();
        bitCount = reader.u16le();
        paletteEntryBytes = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        width = reader.i32le();
        height = reader.i32le();
        reader.u16le();  // planes
        bitCount = reader.u16le();
        compression = reader.u32le();
        reader.skip(12);  // image size, resolution
        coloursUsed = reader.u32le();
        reader.u32le();   // important colours
        if (headerSize >= 52 || compression == kBitFields || compression == kAlphaBitFields) {
            for (auto& mask : masks) mask = reader.u32le();  // V4/V5 headers, or masks after a 40-byte header
        }
    } else {
        return fail(error, "unknown header");
    }
    if (reader.failed()) return fail(error, "the header is cut short");
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!pictureSizeAllowed(width, height)) return fail(error, "the picture size is missing or too large");
    const bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (!paletted && bitCount != 16 && bitCount != 24 && bitCount != 32) return fail(error, "unsupported bit depth");
    if ((compression == kRle8 && bitCount != 8) || (compression == kRle4 && bitCount != 4))
        return fail(error, "bad compression for the bit depth");
    if (compression != kRgb && compression != kRle8 && compression != kRle4 && compression != kBitFields &&
        compression != kAlphaBitFields)
        return fail(error, "unsupported compression");

    std::vector<Rgb> palette;
    if (paletted) {
        const std::uint32_t entries = coloursUsed && coloursUsed <= (1u << bitCount) ? coloursUsed : 1u << bitCount;
        reader.seek(14 + headerSize + (headerSize == 40 && compression == kBitFields ? 12 : 0));
        for (std::uint32_t i = 0; i < entries && reader.remaining() >= paletteEntryBytes; ++i) {
            const std::uint8_t b = reader.u8(), g = reader.u8(), r = reader.u8();
            if (paletteEntryBytes == 4) reader.u8();
            palette.push_back({r, g, b});
        }
        if (palette.empty()) return fail(error, "the palette is missing");
    }
    if (bitsOffset >= data.size()) return fail(error, "the pixel data is missing");

    const bool runLength = compression == kRle8 || compression == kRle4;
    const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
    if (!runLength && data.size() - bitsOffset < stride * static_cast<std::size_t>(height))
        return fail(error, "the pixel data is cut short");
    Picture picture = Picture::create(static_cast<int>(width), static_cast<int>(height));
    const int w = picture.width(), h = picture.height();
    // Row r of the file (0 = first stored) lands on this picture row.
    auto pictureRow = [&](int fileRow) { return topDown ? fileRow : h - 1 - fileRow; };
    auto paletteColour = [&](unsigned index) { return index < palette.size() ? palette[index] : Rgb{}; };
    const std::span<const std::uint8_t> bits = data.subspan(bitsOffset);

    if (runLength) {
        // Run-length coded: runs and absolute stretches, end of line, end of picture, deltas.
        std::size_t pos = 0;
        // The column stops at the row's end: runs and deltas past it must not count on
        // towards an overflow that would bring x back inside the row from below.
        int x = 0, fileRow = 0;
        auto put = [&](unsigned index) {
            if (x >= w) return;
            if (fileRow < h) picture.setPixel(x, pictureRow(fileRow), paletteColour(index));
            ++x;
        };
        while (pos + 1 < bits.size() && fileRow < h) {
            const unsigned count = bits[pos], value = bits[pos + 1];
            pos += 2;
            if (count > 0) {
                for (unsigned i = 0; i < count; ++i)
                    put(compression == kRle8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
            } else if (value == 0) {
                x = 0;
                ++fileRow;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (pos + 1 >= bits.size()) break;
                x = std::min(w, x + bits[pos]);
                fileRow += bits[pos + 1];
                pos += 2;
            } else {
                const std::size_t bytes = compression == kRle8 ? value : (value + 1) / 2;
                if (pos + bytes > bits.size()) break;
                for (unsigned i = 0; i < value; ++i)
                    put(compression == kRle8 ? bits[pos + i] : (i % 2 == 0 ? bits[pos + i / 2] >> 4 : bits[pos + i / 2] & 15));
                pos += (bytes + 1) & ~std::size_t{1};  // absolute runs are word-aligned
            }
        }
        out = std::move(picture);
        return true;
    }

    Channel red, green, blue;
    if (bitCount == 16 || bitCount == 32) {
        const bool fields = compression == kBitFields || compression == kAlphaBitFields;
        if (fields && masks[0] | masks[1] | masks[2]) {
            red = Channel(masks[0]); green = Channel(masks[1]); blue = Channel(masks[2]);
        } else if (bitCount == 16) {
            red = Channel(0x7C00); green = Channel(0x03E0); blue = Channel(0x001F);
        } else {
            red = Channel(0xFF0000); green = Channel(0x00FF00); blue = Channel(0x0000FF);
        }
    }
    for (int fileRow = 0; fileRow < h; ++fileRow) {
        const std::uint8_t* in = bits.data() + static_cast<std::size_t>(fileRow) * stride;
        const int y = pictureRow(fileRow);
        for (int x = 0; x < w; ++x) {
            switch (bitCount) {
                case 1: picture.setPixel(x, y, paletteColour(in[x / 8] >> (7 - x % 8) & 1)); break;
                case 4: picture.setPixel(x, y, paletteColour(x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 15)); break;
                case 8: picture.setPixel(x, y, paletteColour(in[x])); break;
                case 24: picture.setPixel(x, y, {in[x * 3 + 2], in[x * 3 + 1], in[x * 3]}); break;
                case 16: {
                    const std::uint32_t v = in[x * 2] | in[x * 2 + 1] << 8;
                    picture.setPixel(x, y, {red.take(v), green.take(v), blue.take(v)});
                    break;
                }
                default: {
                    const std::uint32_t v = in[x * 4] | in[x * 4 + 1] << 8 | in[x * 4 + 2] << 16 |
                                            static_cast<std::uint32_t>(in[x * 4 + 3]) << 24;
                    picture.setPixel(x, y, {red.take(v), green.take(v), blue.take(v)});
                }
            }
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
