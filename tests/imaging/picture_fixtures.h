#pragma once
// Picture fixtures made once per test run by scripts/make-picture-fixtures.sh with
// ImageMagick, each with ImageMagick's own decoding as raw RGB.

#include "imaging/picture.h"

#include <string>
#include <vector>

namespace tellavine::testing {

struct PictureFixture {
    std::string file;       // full path of the picture
    std::string reference;  // full path of ImageMagick's raw 8-bit RGB decoding
    int width = 0;
    int height = 0;
    double allowedMeanError = 0;  // 0: must match exactly
};

// The folder holding the fixtures (made on first use, removed at exit).
const std::string& pictureFixtureFolder();
const std::vector<PictureFixture>& pictureFixtures();
const PictureFixture& pictureFixture(const std::string& name);

// Runs ImageMagick's convert with `arguments` (a shell fragment); true on success.
bool runImageMagick(const std::string& arguments);

// ImageMagick's decoding of `input` (a shell fragment: options before the file, the
// file) with `options` applied, as a Picture (empty on failure).
Picture imageMagickDecode(const std::string& input, const std::string& options = "");

// Mean absolute difference of all samples; -1 when the sizes differ.
double meanError(const Picture& picture, const std::vector<unsigned char>& rgb, int width, int height);

}  // namespace tellavine::testing
