#pragma once
// The date a photo was taken, as its camera wrote it into the EXIF block
// (DateTimeOriginal), for sorting photos by date.

#include <cstdint>
#include <span>
#include <string>

namespace tellavine {

// "YYYY:MM:DD HH:MM:SS" from an EXIF block (the little TIFF file after "Exif\0\0"), which
// sorts in time order as text; empty when the block has no valid date taken.
std::string exifDateTaken(std::span<const std::uint8_t> tiffBlock);

// The same for a JPEG or TIFF file; only the file's first 256 KiB are read, where
// cameras put the block. Empty for other files and for photos without a date.
std::string pictureDateTaken(const std::string& path);

}  // namespace tellavine
