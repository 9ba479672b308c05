#pragma once
// What a HEIF or AVIF file says about how its picture stands, read from its boxes.

#include <cstdint>
#include <span>

namespace tellavine {

// True when the file carries a rotation or mirror property ("irot", "imir") among the
// item properties of its "meta" box. libheif applies those while decoding; only a file
// without them is turned by the orientation of its EXIF block.
bool heifHasRotationOrMirror(std::span<const std::uint8_t> file);

}  // namespace tellavine
