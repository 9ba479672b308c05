// ZSoft PCX: run-length coded planes. 1 bit x 1 plane (black and white), 1 bit x 4 planes
// and 4 bits x 1 plane (16 colours from the header palette), 8 bits x 1 plane (256
// colours from the palette at the end of the file) and 8 bits x 3 or 4 planes (24 bits).

#include "imaging/codec.h"

#include "platform/bytes.h"

#include <algorithm>
#include <vector>

namespace tellavine {
namespace {

bool fail(std::string& error, const char* why) {
    error = std::string("PCX: ") + why;
    return false;
}

}  // namespace

bool decodePcx(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    if (data.size() < 128 || data[0] != 0x0A) return fail(error, "not a PCX file");
    ByteReader header(data);
    header.skip(2);
    const std::uint8_t encoding = header.u8();
    const std::uint8_t bitsPerPixel = header.u8();
    const int xMin = header.u16le(), yMin = header.u16le(), xMax = header.u16le(), yMax = header.u16le();
    const int width = xMax - xMin + 1, height = yMax - yMin + 1;
    header.seek(65);
    const std::uint8_t planes = header.u8();
    const std::size_t bytesPerLine = header.u16le();
    if (!pictureSizeAllowed(width, height)) return fail(error, "the picture size is bad or too large");
    const bool mono = bitsPerPixel == 1 && planes == 1;
    const bool ega = (bitsPerPixel == 1 && planes == 4) || (bitsPerPixel == 4 && planes == 1);
    const bool indexed = bitsPerPixel == 8 && planes == 1;
    const bool trueColour = bitsPerPixel == 8 && (planes == 3 || planes == 4);
    if (!mono && !ega && !indexed && !trueColour) return fail(error, "unsupported bit depth");
    if (bytesPerLine * 8 < static_cast<std::size_t>(width) * bitsPerPixel) return fail(error, "the line length is too short");

    const std::size_t lineBytes = bytesPerLine * planes;
    // A run of two bytes gives at most 63; refuse before allocating what cannot be there.
    if ((data.size() - 128) / 2 * 63 + 63 < lineBytes * static_cast<std::size_t>(height))
        return fail(error, "the pixel data is cut short");

    std::vector<Rgb> palette(256);
    if (indexed) {
        if (data.size() < 769 || data[data.size() - 769] != 0x0C) return fail(error, "the 256-colour palette is missing");
        const std::uint8_t* p = data.data() + data.size() - 768;
        for (int i = 0; i < 256; ++i) palette[i] = {p[i * 3], p[i * 3 + 1], p[i * 3 + 2]};
    } else if (ega) {
        for (int i = 0; i < 16; ++i) palette[i] = {data[16 + i * 3], data[17 + i * 3], data[18 + i * 3]};
    }

    // One line of planes at a time: the header's line length is not tied to the width, so
    // a whole-picture buffer could be many times the picture. Runs may cross line ends.
    Picture picture = Picture::create(width, height);
    std::vector<std::uint8_t> line(lineBytes);
    std::size_t pos = 128, runLeft = 0;
    std::uint8_t runByte = 0;
    for (int y = 0; y < height; ++y) {
        for (std::size_t filled = 0; filled < lineBytes;) {
            if (runLeft == 0) {
                if (pos >= data.size()) return fail(error, "the pixel data is cut short");
                runByte = data[pos++];
                runLeft = 1;
                if (encoding == 1 && (runByte & 0xC0) == 0xC0) {
                    runLeft = runByte & 0x3F;
                    if (pos >= data.size()) return fail(error, "the pixel data is cut short");
                    runByte = data[pos++];
                }
                continue;
            }
            const std::size_t take = std::min(runLeft, lineBytes - filled);
            std::fill_n(line.begin() + static_cast<std::ptrdiff_t>(filled), take, runByte);
            filled += take;
            runLeft -= take;
        }
        for (int x = 0; x < width; ++x) {
            Rgb colour;
            if (mono) {
                const std::uint8_t v = (line[x / 8] >> (7 - x % 8) & 1) ? 255 : 0;
                colour = {v, v, v};
            } else if (bitsPerPixel == 1) {  // four planes of one bit
                unsigned index = 0;
                for (int p = 0; p < 4; ++p) index |= (line[p * bytesPerLine + x / 8] >> (7 - x % 8) & 1u) << p;
                colour = palette[index];
            } else if (bitsPerPixel == 4) {
                colour = palette[x % 2 == 0 ? line[x / 2] >> 4 : line[x / 2] & 15];
            } else if (indexed) {
                colour = palette[line[x]];
            } else {
                colour = {line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]};
            }
            picture.setPixel(x, y, colour);
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
