#include "audio/id3v2_tag.h"

#include <id3.h>

#include <memory>

namespace tellavine::audio {
namespace {

struct Id3TagDeleter {
    void operator()(ID3Tag* tag) const noexcept { ID3Tag_Delete(tag); }
};
using Id3TagOwner = std::unique_ptr<ID3Tag, Id3TagDeleter>;

}  // namespace

std::size_t id3v2TagSize(const std::string& path) {
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
