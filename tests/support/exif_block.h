#pragma once
// Camera orientation in test pictures: the EXIF block a camera writes, with only the
// orientation tag, and a JPEG carrying it.

#include <vector>

namespace tellavine::testing {

// "Exif\0\0" followed by a little TIFF file whose one tag is the orientation (1..8).
std::vector<unsigned char> exifBlockWithOrientation(int orientation, bool bigEndian = false);

// The JPEG with that block inserted as APP1 right after its SOI marker.
std::vector<unsigned char> jpegWithExifOrientation(std::vector<unsigned char> jpeg, int orientation,
                                                   bool bigEndian = false);

}  // namespace tellavine::testing
