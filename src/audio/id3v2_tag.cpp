#include "audio/id3v2_tag.h"

#include "platform/file.h"

#include <array>
#include <cstdint>

namespace tellavine::audio {

std::size_t id3v2TagSize(const std::string& path) {
    // The size is read from the tag's own 10-byte header rather than by letting id3lib
    // parse the tag: id3lib frees memory it does not own on damaged compressed frames,
    // and only the size is needed here. "ID3", a version, flags, and the size of what
    // follows the header as four bytes of seven bits each; a footer adds 10 bytes.
    File file = File::open(path, "rb");
    std::array<std::uint8_t, 10> header{};
    if (!file || std::fread(header.data(), 1, header.size(), file.get()) != header.size()) return 0;
    if (header[0] != 'I' || header[1] != 'D' || header[2] != '3' || header[3] == 0xFF || header[4] == 0xFF) return 0;
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (header[i] >= 0x80) return 0;
        size = size << 7 | header[i];
    }
    constexpr std::uint8_t kFooterPresent = 0x10;
    const bool footer = header[3] >= 4 && (header[5] & kFooterPresent) != 0;
    return header.size() + size + (footer ? 10 : 0);
}

}  // namespace tellavine::audio
