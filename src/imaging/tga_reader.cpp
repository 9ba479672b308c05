// Truevision TGA: colour-mapped, true-colour and grey pictures, uncompressed or run-length
// coded, 8/15/16/24/32 bits, rows from the bottom (the default) or from the top.
// Alpha is ignored.

#include "imaging/codec.h"

#include "platform/bytes.h"

#include <algorithm>
#include <vector>

namespace tellavine {
namespace {

bool fail(std::string& error, const char* why) {
    error = std::string("TGA: ") + why;
    return false;
}

Rgb fromBytes(const std::uint8_t* p, int bytes) {
    switch (bytes) {
        case 1: return {p[0], p[0], p[0]};
        case 2: {
            const unsigned v = p[0] | p[1] << 8;
            auto five = [](unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
            return {five(v >> 10 & 31), five(v >> 5 & 31), five(v & 31)};
        }
        default: return {p[2], p[1], p[0]};
    }
}

}  // namespace

bool decodeTga(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    ByteReader header(data);
    const std::uint8_t idLength = header.u8();
    const std::uint8_t mapType = header.u8();
    const std::uint8_t imageType = header.u8();
    const std::uint16_t mapFirst = header.u16le();
    const std::uint16_t mapLength = header.u16le();
    const std::uint8_t mapDepth = header.u8();
    header.skip(4);  // origin
    const int width = header.u16le();
    const int height = header.u16le();
    const std::uint8_t depth = header.u8();
    const std::uint8_t descriptor = header.u8();
    if (header.failed()) return fail(error, "the header is cut short");
    const bool rle = imageType >= 9;
    const int kind = imageType & 7;  // 1 colour-mapped, 2 true colour, 3 grey
    if (kind < 1 || kind > 3 || (imageType & ~0x0B) != 0) return fail(error, "unsupported picture type");
    if (!pictureSizeAllowed(width, height)) return fail(error, "the picture size is missing or too large");
    if (kind == 1 && (depth != 8 || mapType != 1)) return fail(error, "bad colour map");
    if (kind == 3 && depth != 8) return fail(error, "unsupported grey depth");
    if (kind == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return fail(error, "unsupported bit depth");

    header.skip(idLength);
    std::vector<Rgb> palette;
    if (mapType == 1) {
        const int entryBytes = (mapDepth + 7) / 8;
        if (entryBytes < 2 || entryBytes > 4) return fail(error, "unsupported colour map depth");
        for (int i = 0; i < mapLength; ++i) {
            const auto entry = header.bytes(static_cast<std::size_t>(entryBytes));
            if (header.failed()) return fail(error, "the colour map is cut short");
            palette.push_back(fromBytes(entry.data(), entryBytes == 4 ? 3 : entryBytes));
        }
    }
    const int pixelBytes = (depth + 7) / 8;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    const std::span<const std::uint8_t> body = data.subspan(std::min(header.position(), data.size()));
    // Check the data can hold the picture before allocating for it: a run packet of
    // 1 + pixelBytes bytes gives at most 128 pixels.
    const std::size_t reachable = rle ? body.size() / (1 + pixelBytes) * 128 + 128 : body.size() / pixelBytes;
    if (reachable < pixels) return fail(error, "the pixel data is cut short");
    std::vector<std::uint8_t> raw(pixels * pixelBytes);
    if (!rle) {
        if (body.size() < raw.size()) return fail(error, "the pixel data is cut short");
        std::copy(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(raw.size()), raw.begin());
    } else {
        std::size_t pos = 0, written = 0;
        while (written < raw.size()) {
            if (pos >= body.size()) return fail(error, "the pixel data is cut short");
            const std::uint8_t packet = body[pos++];
            const std::size_t count = (packet & 0x7F) + 1u;
            const std::size_t room = (raw.size() - written) / pixelBytes;
            const std::size_t n = std::min(count, room);
            if (packet & 0x80) {
                if (pos + pixelBytes > body.size()) return fail(error, "the pixel data is cut short");
                for (std::size_t i = 0; i < n; ++i, written += pixelBytes)
                    std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(pos), pixelBytes, raw.begin() + static_cast<std::ptrdiff_t>(written));
                pos += pixelBytes;
            } else {
                if (pos + count * pixelBytes > body.size()) return fail(error, "the pixel data is cut short");
                std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(pos), n * pixelBytes, raw.begin() + static_cast<std::ptrdiff_t>(written));
                written += n * pixelBytes;
                pos += count * pixelBytes;
            }
        }
    }

    const bool fromTop = descriptor & 0x20;
    const bool fromRight = descriptor & 0x10;
    Picture picture = Picture::create(width, height);
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = fromTop ? fileRow : height - 1 - fileRow;
        for (int fileCol = 0; fileCol < width; ++fileCol) {
            const int x = fromRight ? width - 1 - fileCol : fileCol;
            const std::uint8_t* p = raw.data() + (static_cast<std::size_t>(fileRow) * width + fileCol) * pixelBytes;
            Rgb colour;
            if (kind == 1) {
                const int index = p[0] - mapFirst;
                colour = index >= 0 && static_cast<std::size_t>(index) < palette.size() ? palette[static_cast<std::size_t>(index)] : Rgb{};
            } else {
                colour = fromBytes(p, pixelBytes == 4 ? 3 : pixelBytes);
            }
            picture.setPixel(x, y, colour);
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
