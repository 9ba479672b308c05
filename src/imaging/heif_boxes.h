#pragma once
// What a HEIF or AVIF file says about how its picture stands and how large it is coded,
// read from its boxes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tellavine {

// True when the file carries a rotation or mirror property ("irot", "imir") among the
// item properties of its "meta" box. libheif applies those while decoding; only a file
// without them is turned by the orientation of its EXIF block.
bool heifHasRotationOrMirror(std::span<const std::uint8_t> file);

// Why the file codes a larger picture than it declares, read before anything is decoded:
// an HEVC sequence parameter set (in an item's "hvcC" or among its data) larger than the
// item's "ispe" by more than the coding-block padding, or a tile grid or overlay canvas
// larger than its item's "ispe" (either size may be the other turned a quarter). libheif 1.15 decodes and builds such pictures at the
// coded size, hundreds of megabytes from a file of a few hundred bytes. Nothing when the
// sizes agree or the file does not say enough to tell (the decoded size is checked again).
std::optional<std::string> heifCodedPictureLargerThanDeclared(std::span<const std::uint8_t> file);

}  // namespace tellavine
