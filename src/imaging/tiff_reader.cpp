// TIFF through libtiff's RGBA interface, which covers strips and tiles, 1 to 16 bits,
// palette, grey, RGB, CMYK and YCbCr. The file's own mirroring is kept out of libtiff's
// hands (we ask for the stored order) so the orientation tag is applied once, here.

#include "imaging/codec.h"

#include <cstdarg>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <tiffio.h>

namespace tellavine {
namespace {

struct MemoryFile {
    std::span<const std::uint8_t> data;
    toff_t position = 0;
    std::string error;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0 || file->position >= file->data.size()) return 0;
    const auto count = std::min<toff_t>(static_cast<toff_t>(size), file->data.size() - file->position);
    std::memcpy(buffer, file->data.data() + file->position, count);
    file->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR) base = file->position;
    if (whence == SEEK_END) base = file->data.size();
    file->position = base + offset;
    return file->position;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->data.size(); }

int onTiffError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* file = static_cast<MemoryFile*>(user);
    if (file->error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        file->error = text;
    }
    return 1;
}

int onTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// The request that makes libtiff leave the stored rows as they are.
int storedOrderRequest(int orientation) {
    switch (orientation) {
        case ORIENTATION_TOPRIGHT: case ORIENTATION_RIGHTTOP: return ORIENTATION_TOPRIGHT;
        case ORIENTATION_BOTRIGHT: case ORIENTATION_RIGHTBOT: return ORIENTATION_BOTRIGHT;
        case ORIENTATION_BOTLEFT: case ORIENTATION_LEFTBOT: return ORIENTATION_BOTLEFT;
        default: return ORIENTATION_TOPLEFT;
    }
}

}  // namespace

bool decodeTiff(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error) {
    MemoryFile file;
    file.data = data;
    std::unique_ptr<TIFFOpenOptions, OptionsFree> openOptions(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetMaxSingleMemAlloc(openOptions.get(), static_cast<tmsize_t>(kMaxPicturePixels * 4));
    TIFFOpenOptionsSetErrorHandlerExtR(openOptions.get(), onTiffError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(openOptions.get(), onTiffWarning, &file);
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpenExt("memory", "rm", &file, readProc, writeProc, seekProc,
                                                             closeProc, sizeProc, nullptr, nullptr,
                                                             openOptions.get()));
    if (!tiff) {
        error = "TIFF: " + (file.error.empty() ? std::string("not a TIFF file") : file.error);
        return false;
    }
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    if (!pictureSizeAllowed(width, height)) {
        error = "TIFF: the picture size is missing or too large";
        return false;
    }
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);

    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff.get(), message)) {
        error = std::string("TIFF: ") + message;
        return false;
    }
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
    // A strip or tile that cannot be decoded makes a damaged photo: refused at once, as a
    // cut JPEG is, rather than shown with black bands after trying every other strip.
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), storedOrderRequest(orientation), 1)) {
        error = "TIFF: " + (file.error.empty() ? std::string("cannot decode the picture") : file.error);
        return false;
    }
    Picture picture = Picture::create(static_cast<int>(width), static_cast<int>(height));
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(static_cast<int>(y));
        const std::uint32_t* in = raster.data() + static_cast<std::size_t>(y) * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            // Alpha comes back associated (premultiplied), which is compositing on black.
            row[x * 3] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
            row[x * 3 + 1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
            row[x * 3 + 2] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
        }
    }
    if (options.applyOrientation) applyOrientation(picture, orientation);
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
