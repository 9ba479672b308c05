#pragma once
// The date a photo was taken, as its camera recorded it in the EXIF block: used to sort
// an album's photos into shooting order.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tellavine {

// "YYYY:MM:DD HH:MM:SS" from a TIFF-structured EXIF block (the APP1 payload after
// "Exif\0\0", or a TIFF file's start): DateTimeOriginal, else DateTimeDigitized, else the
// first IFD's DateTime. Nothing when none is there, malformed or all zeros (a camera
// without a clock). Offsets outside the block are ignored, never followed.
std::optional<std::string> exifDateFromTiff(std::span<const std::uint8_t> tiff);

// The same for the EXIF block of a JPEG file, or of a TIFF file, read from the file's
// first 256 KiB. Nothing for other files and for files that cannot be read.
std::optional<std::string> exifDateTaken(const std::string& path);

}  // namespace tellavine
