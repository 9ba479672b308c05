#include "imaging/heif_boxes.h"

#include <cstring>
#include <optional>

namespace tellavine {
namespace {

struct Box {
    char type[4];
    std::span<const std::uint8_t> body;
};

std::uint64_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : bytes) value = value << 8 | byte;
    return value;
}

// The box starting at `at` inside `within`, nothing when its header does not fit or
// its size runs past the end (a cut file). Size 0 means "to the end".
std::optional<Box> boxAt(std::span<const std::uint8_t> within, std::size_t at) {
    if (within.size() < 8 || at > within.size() - 8) return std::nullopt;
    std::uint64_t size = bigEndian(within.subspan(at, 4));
    std::size_t header = 8;
    if (size == 1) {
        if (at > within.size() - 16) return std::nullopt;
        size = bigEndian(within.subspan(at + 8, 8));
        header = 16;
    } else if (size == 0) {
        size = within.size() - at;
    }
    if (size < header || size > within.size() - at) return std::nullopt;
    Box box;
    std::memcpy(box.type, within.data() + at + 4, 4);
    box.body = within.subspan(at + header, static_cast<std::size_t>(size) - header);
    return box;
}

// The first child of type `type` among the boxes that fill `within`.
std::optional<Box> child(std::span<const std::uint8_t> within, const char* type) {
    for (std::size_t at = 0; auto box = boxAt(within, at);) {
        if (std::memcmp(box->type, type, 4) == 0) return box;
        at = static_cast<std::size_t>(box->body.data() + box->body.size() - within.data());
    }
    return std::nullopt;
}

}  // namespace

bool heifHasRotationOrMirror(std::span<const std::uint8_t> file) {
    const auto meta = child(file, "meta");
    if (!meta || meta->body.size() < 4) return false;
    const auto iprp = child(meta->body.subspan(4), "iprp");  // after the full box's version and flags
    if (!iprp) return false;
    const auto ipco = child(iprp->body, "ipco");
    if (!ipco) return false;
    return child(ipco->body, "irot").has_value() || child(ipco->body, "imir").has_value();
}

}  // namespace tellavine
