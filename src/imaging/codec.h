#pragma once
// Reading photo files. Every reader takes the whole file as bytes, refuses pictures
// larger than kMaxPictureSide / kMaxPicturePixels, and reports a damaged file as a
// failure with a short reason, never by crashing or throwing.

#include "imaging/picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tellavine {

enum class PictureType {
    Unknown = 0,  // detect from the content
    Bmp,
    Gif,
    Jpeg,
    Png,
    Pcx,
    Tga,
    Tiff,
    Wbmp,
    Wmf,
    Jpeg2000,
    Heif,  // HEIC, HEIF and AVIF: one container, read by libheif
    Webp,
};

const char* pictureTypeName(PictureType type);

// The type a file's name suggests (".jpg", ".TIF", ...: letter case does not matter),
// Unknown when it suggests none.
PictureType pictureTypeFromExtension(const std::string& path);

struct PictureExtension {
    const char* extension;  // lower case, without the dot: "jpg"
    PictureType type;
};
// Every extension a picture is known by: the one list of picture names. The command
// line's folder scan and the desktop's file filter take theirs from it.
std::span<const PictureExtension> pictureExtensions();
// True when a reader decodes `type` (WMF is known only to say why it is refused).
bool pictureTypeReadable(PictureType type);
// The extensions of the readable types, lower case, without the dot, in list order.
std::vector<std::string> readablePictureExtensions();
// True when `path`'s extension (any letter case) names a type a reader decodes.
bool hasReadablePictureExtension(const std::string& path);

// The type the bytes carry a signature of. TGA and WBMP have no signature: they are
// recognised last, by headers that are consistent with the data length.
PictureType detectPictureType(std::span<const std::uint8_t> data);

struct DecodeOptions {
    // JPEG and JPEG 2000 only: decode at 1/2, 1/4 or 1/8 when the picture is at least
    // that many times wider than this (0 = full size).
    int minimumWidth = 0;
    // JPEG and JPEG 2000 only, when minimumWidth is 0: decode at 1/2, 1/4 or 1/8 while
    // both sides of the reduced picture stay at least this long (0 = full size). The
    // reduction happens in the decoder (JPEG's DCT, JPEG 2000's resolution levels), which
    // is much cheaper than decoding everything and shrinking after.
    int minimumSide = 0;
    // Turn camera photos upright from their EXIF (JPEG, WebP, HEIF without rotation
    // boxes) or orientation tag (TIFF). A HEIF's own rotation and mirror boxes are
    // always applied: they are part of the picture.
    bool applyOrientation = true;
};

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The divisor (1, 2, 4 or 8) a picture of this size decodes at under `options`.
unsigned reductionDivisor(unsigned width, unsigned height, const DecodeOptions& options);

struct PictureLoad {
    Picture picture;
    PictureType type = PictureType::Unknown;
    std::string error;  // why the picture has no pixels
    // The picture's size before any JPEG reduction, turned upright like `picture`; the
    // picture's own size when it was not reduced.
    PictureSize fullSize;

    bool ok() const { return picture.valid(); }
};

// Files larger than this are refused before reading.
inline constexpr std::uintmax_t kMaxPictureFileBytes = 512ull * 1024 * 1024;

// Reads a picture from memory: the given type first, then the detected type when that
// fails (Unknown detects at once).
PictureLoad decodePicture(std::span<const std::uint8_t> data, PictureType type = PictureType::Unknown,
                          const DecodeOptions& options = {});

// The same for a file. A missing or unreadable file gives a load without pixels.
PictureLoad loadPicture(const std::string& path, PictureType type = PictureType::Unknown,
                        const DecodeOptions& options = {});

// "Load with JPEG reduction": JPEG files decode at the smallest of 1/8, 1/4, 1/2 scale
// whose divisor d still leaves width >= d * minimumWidth; other formats load at full size.
PictureLoad loadPictureReduced(const std::string& path, int minimumWidth);

// The readers themselves, one per format (used by decodePicture and the fuzz harnesses).
// `fullSize`, when given, receives the size before reduction (upright).
bool decodeJpeg(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error,
                PictureSize* fullSize = nullptr);
bool decodePng(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodeTiff(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error);
bool decodeGif(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodeBmp(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodePcx(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodeTga(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodeWbmp(std::span<const std::uint8_t> data, Picture& out, std::string& error);
bool decodeJpeg2000(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error,
                    PictureSize* fullSize = nullptr);
bool decodeHeif(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error);
bool decodeWebp(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error);

// The orientation (1..8) recorded in an EXIF block (the APP1 payload after "Exif\0\0",
// which is a little TIFF file), 0 when it has none.
int exifOrientation(std::span<const std::uint8_t> tiffBlock);

}  // namespace tellavine
