#pragma once
// Small pictures written by the tests themselves as 24-bit BMP files.

#include "imaging/picture.h"

#include <string>

namespace tellavine::testing {

// Writes `picture` as a bottom-up 24-bit BMP file; false when it cannot be written.
bool writeBmp(const std::string& path, const Picture& picture);

// A w x h picture of one colour.
Picture solidPicture(int width, int height, Rgb colour);

}  // namespace tellavine::testing
