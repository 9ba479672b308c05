#include "audio/id3v2_tag.h"

#include "platform/file.h"

#include <id3.h>

#include <array>
#include <memory>

namespace tellavine::audio {
namespace {

struct Id3TagDeleter {
    void operator()(ID3Tag* tag) const noexcept { ID3Tag_Delete(tag); }
};
using Id3TagOwner = std::unique_ptr<ID3Tag, Id3TagDeleter>;

// True when the file opens with an ID3v2 header: "ID3", a version, flags and a
// four-byte size of seven bits each.
bool startsWithId3v2Header(const std::string& path) {
    File file = File::open(path, "rb");
    std::array<std::uint8_t, 10> header{};
    if (!file || std::fread(header.data(), 1, header.size(), file.get()) != header.size()) return false;
    return header[0] == 'I' && header[1] == 'D' && header[2] == '3' && header[3] != 0xFF && header[4] != 0xFF &&
           header[6] < 0x80 && header[7] < 0x80 && header[8] < 0x80 && header[9] < 0x80;
}

}  // namespace

std::size_t id3v2TagSize(const std::string& path) {
    // id3lib is only asked about files that have a tag: on other files it can take many
    // seconds (it scans them a byte at a time) and may report the whole file as tag.
    if (!startsWithId3v2Header(path)) return 0;
    // id3lib is C++ underneath its C interface; nothing it throws may leave this reader.
    try {
        Id3TagOwner tag(ID3Tag_New());
        if (!tag) return 0;
        return ID3Tag_Link(tag.get(), path.c_str());
    } catch (...) {
        return 0;
    }
}

}  // namespace tellavine::audio
