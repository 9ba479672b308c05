#include "support/exif_block.h"

namespace tellavine::testing {

std::vector<unsigned char> exifBlockWithOrientation(int orientation, bool bigEndian) {
    std::vector<unsigned char> block = {'E', 'x', 'i', 'f', 0, 0};
    std::vector<unsigned char> tiff;
    if (bigEndian)
        tiff = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, static_cast<unsigned char>(orientation), 0, 0, 0, 0, 0, 0};
    else
        tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, static_cast<unsigned char>(orientation), 0, 0, 0, 0, 0, 0, 0};
    block.insert(block.end(), tiff.begin(), tiff.end());
    return block;
}

std::vector<unsigned char> jpegWithExifOrientation(std::vector<unsigned char> jpeg, int orientation, bool bigEndian) {
    const auto block = exifBlockWithOrientation(orientation, bigEndian);
    std::vector<unsigned char> app1 = {0xFF, 0xE1, 0, 0};
    app1.insert(app1.end(), block.begin(), block.end());
    const std::size_t length = app1.size() - 2;
    app1[2] = static_cast<unsigned char>(length >> 8);
    app1[3] = static_cast<unsigned char>(length & 0xFF);
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

}  // namespace tellavine::testing
