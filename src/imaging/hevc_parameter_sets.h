#pragma once
// The picture size an HEVC stream codes, read from its sequence parameter sets before any
// decoder sees them: a few hundred bytes of file can name a stream of many megapixels.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tellavine {

struct CodedPictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// pic_width/height_in_luma_samples of one NAL unit (two-byte header included) when it is a
// sequence parameter set; nothing for other units and for one cut short before the size.
std::optional<CodedPictureSize> hevcSequencePictureSize(std::span<const std::uint8_t> nalUnit);

// The sizes of every sequence parameter set in a decoder configuration record ("hvcC"
// body). Units it cannot read are left out.
std::vector<CodedPictureSize> hevcConfigurationPictureSizes(std::span<const std::uint8_t> hvcC);

// The NAL unit length field's size in bytes that an "hvcC" body gives its samples (1, 2 or 4).
std::optional<std::size_t> hevcNalLengthSize(std::span<const std::uint8_t> hvcC);

}  // namespace tellavine
