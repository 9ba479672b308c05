#include "imaging/codec.h"

#include "platform/regular_file.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <filesystem>
#include <vector>

namespace tellavine {

const char* pictureTypeName(PictureType type) {
    switch (type) {
        case PictureType::Bmp: return "BMP";
        case PictureType::Gif: return "GIF";
        case PictureType::Jpeg: return "JPEG";
        case PictureType::Png: return "PNG";
        case PictureType::Pcx: return "PCX";
        case PictureType::Tga: return "TGA";
        case PictureType::Tiff: return "TIFF";
        case PictureType::Wbmp: return "WBMP";
        case PictureType::Wmf: return "WMF";
        case PictureType::Jpeg2000: return "JPEG 2000";
        case PictureType::Heif: return "HEIF";
        case PictureType::Webp: return "WebP";
        case PictureType::Unknown: break;
    }
    return "unknown";
}

namespace {

// Every extension a picture is known by, and the type it suggests. New formats are added
// here: the command line's folder scan and the desktop's file filter both read this list.
constexpr PictureExtension kPictureExtensions[] = {
    {"jpg", PictureType::Jpeg},  {"jpeg", PictureType::Jpeg},    {"jpe", PictureType::Jpeg},
    {"jfif", PictureType::Jpeg}, {"tif", PictureType::Tiff},     {"tiff", PictureType::Tiff},
    {"bmp", PictureType::Bmp},   {"dib", PictureType::Bmp},      {"pcx", PictureType::Pcx},
    {"gif", PictureType::Gif},   {"png", PictureType::Png},      {"tga", PictureType::Tga},
    {"wbmp", PictureType::Wbmp}, {"wbm", PictureType::Wbmp},     {"wmf", PictureType::Wmf},
    {"emf", PictureType::Wmf},   {"jp2", PictureType::Jpeg2000}, {"j2k", PictureType::Jpeg2000},
    {"j2c", PictureType::Jpeg2000}, {"jpc", PictureType::Jpeg2000}, {"jpx", PictureType::Jpeg2000},
    {"heic", PictureType::Heif}, {"heif", PictureType::Heif},    {"hif", PictureType::Heif},
    {"avif", PictureType::Heif}, {"webp", PictureType::Webp},
};

}  // namespace

std::span<const PictureExtension> pictureExtensions() { return kPictureExtensions; }

bool pictureTypeReadable(PictureType type) { return type != PictureType::Unknown && type != PictureType::Wmf; }

std::vector<std::string> readablePictureExtensions() {
    std::vector<std::string> extensions;
    for (const auto& entry : kPictureExtensions) {
        if (pictureTypeReadable(entry.type)) extensions.emplace_back(entry.extension);
    }
    return extensions;
}

PictureType pictureTypeFromExtension(const std::string& path) {
    const std::string name = fileNamePart(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return PictureType::Unknown;
    const std::string ext = toUpperAscii(name.substr(dot + 1));
    for (const auto& entry : kPictureExtensions) {
        if (ext == toUpperAscii(entry.extension)) return entry.type;
    }
    return PictureType::Unknown;
}

bool hasReadablePictureExtension(const std::string& path) {
    return pictureTypeReadable(pictureTypeFromExtension(path));
}

namespace {

bool startsWith(std::span<const std::uint8_t> data, std::initializer_list<std::uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// WBMP type 0: 0, 0, then width and height as multi-byte integers, then exactly
// height rows of ceil(width / 8) bytes.
bool looksLikeWbmp(std::span<const std::uint8_t> data) {
    if (data.size() < 4 || data[0] != 0 || data[1] != 0) return false;
    std::size_t pos = 2;
    std::uint64_t dims[2] = {0, 0};
    for (auto& value : dims) {
        for (int n = 0;; ++n) {
            if (pos >= data.size() || n > 4) return false;
            const std::uint8_t byte = data[pos++];
            value = value << 7 | (byte & 0x7f);
            if (!(byte & 0x80)) break;
        }
        if (value == 0) return false;
    }
    return data.size() - pos == (dims[0] + 7) / 8 * dims[1];
}

// HEIF and AVIF: an ISO media file whose "ftyp" box names a still-picture brand, as
// its major brand or among the compatible ones (a video file names none of them).
bool looksLikeHeif(std::span<const std::uint8_t> data) {
    if (data.size() < 16 || std::memcmp(data.data() + 4, "ftyp", 4) != 0) return false;
    const std::size_t boxSize = static_cast<std::size_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3];
    const std::size_t end = std::min(boxSize, data.size());
    static constexpr const char* kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                              "mif1", "msf1", "avif", "avis"};
    auto isStillBrand = [&](std::size_t at) {
        return std::any_of(std::begin(kBrands), std::end(kBrands),
                           [&](const char* brand) { return std::memcmp(data.data() + at, brand, 4) == 0; });
    };
    if (isStillBrand(8)) return true;
    for (std::size_t at = 16; at + 4 <= end; at += 4)
        if (isStillBrand(at)) return true;
    return false;
}

// TGA: plausible header fields (image type, colour map, depth) only.
bool looksLikeTga(std::span<const std::uint8_t> data) {
    if (data.size() < 18) return false;
    const std::uint8_t mapType = data[1], imageType = data[2], depth = data[16];
    if (mapType > 1) return false;
    const bool types[] = {imageType == 1, imageType == 2, imageType == 3,
                          imageType == 9, imageType == 10, imageType == 11};
    if (std::none_of(std::begin(types), std::end(types), [](bool b) { return b; })) return false;
    if ((imageType == 1 || imageType == 9) && mapType != 1) return false;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    const int width = data[12] | data[13] << 8, height = data[14] | data[15] << 8;
    return width > 0 && height > 0;
}

}  // namespace

PictureType detectPictureType(std::span<const std::uint8_t> data) {
    if (startsWith(data, {0xFF, 0xD8, 0xFF})) return PictureType::Jpeg;
    if (startsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return PictureType::Png;
    if (startsWith(data, {'G', 'I', 'F', '8'})) return PictureType::Gif;
    if (startsWith(data, {'I', 'I', 0x2A, 0x00}) || startsWith(data, {'M', 'M', 0x00, 0x2A}))
        return PictureType::Tiff;
    if (startsWith(data, {'B', 'M'})) return PictureType::Bmp;
    if (data.size() >= 12 && startsWith(data, {'R', 'I', 'F', 'F'}) && std::memcmp(data.data() + 8, "WEBP", 4) == 0)
        return PictureType::Webp;
    if (looksLikeHeif(data)) return PictureType::Heif;
    if (startsWith(data, {0x00, 0x00, 0x00, 0x0C, 'j', 'P', ' ', ' '}) ||
        startsWith(data, {0xFF, 0x4F, 0xFF, 0x51}))
        return PictureType::Jpeg2000;
    if (startsWith(data, {0xD7, 0xCD, 0xC6, 0x9A}) || startsWith(data, {0x01, 0x00, 0x09, 0x00}) ||
        startsWith(data, {0x02, 0x00, 0x09, 0x00}))
        return PictureType::Wmf;
    if (data.size() >= 128 && data[0] == 0x0A && data[1] <= 5 && data[2] == 1) return PictureType::Pcx;
    if (looksLikeWbmp(data)) return PictureType::Wbmp;
    if (looksLikeTga(data)) return PictureType::Tga;
    return PictureType::Unknown;
}

unsigned reductionDivisor(unsigned width, unsigned height, const DecodeOptions& options) {
    for (unsigned divisor : {8u, 4u, 2u}) {
        const bool wideEnough = options.minimumWidth > 0 && width >= divisor * unsigned(options.minimumWidth);
        // The reduced size rounds up, so whole multiples are enough for both sides.
        const bool largeEnough = options.minimumWidth == 0 && options.minimumSide > 0 &&
                                 std::min(width, height) >= divisor * unsigned(options.minimumSide);
        if (wideEnough || largeEnough) return divisor;
    }
    return 1;
}

namespace {

bool decodeAs(PictureType type, std::span<const std::uint8_t> data, const DecodeOptions& options,
              Picture& out, std::string& error, PictureSize& fullSize) {
    fullSize = {};
    switch (type) {
        case PictureType::Jpeg: return decodeJpeg(data, options, out, error, &fullSize);
        case PictureType::Png: return decodePng(data, out, error);
        case PictureType::Tiff: return decodeTiff(data, options, out, error);
        case PictureType::Gif: return decodeGif(data, out, error);
        case PictureType::Bmp: return decodeBmp(data, out, error);
        case PictureType::Pcx: return decodePcx(data, out, error);
        case PictureType::Tga: return decodeTga(data, out, error);
        case PictureType::Wbmp: return decodeWbmp(data, out, error);
        case PictureType::Jpeg2000: return decodeJpeg2000(data, options, out, error, &fullSize);
        case PictureType::Heif: return decodeHeif(data, options, out, error);
        case PictureType::Webp: return decodeWebp(data, options, out, error);
        case PictureType::Wmf:
            error = "Windows metafiles (WMF) are not supported; convert the picture to JPEG or PNG";
            return false;
        case PictureType::Unknown: break;
    }
    error = "unknown picture format";
    return false;
}

}  // namespace

PictureLoad decodePicture(std::span<const std::uint8_t> data, PictureType type, const DecodeOptions& options) {
    PictureLoad load;
    if (type != PictureType::Unknown) {
        Picture picture;
        if (decodeAs(type, data, options, picture, load.error, load.fullSize) && picture.valid()) {
            if (load.fullSize.width == 0) load.fullSize = {picture.width(), picture.height()};
            load.picture = std::move(picture);
            load.type = type;
            return load;
        }
    }
    const PictureType detected = detectPictureType(data);
    if (detected == type && type != PictureType::Unknown) return load;  // already tried
    std::string error;
    Picture picture;
    if (decodeAs(detected, data, options, picture, error, load.fullSize) && picture.valid()) {
        if (load.fullSize.width == 0) load.fullSize = {picture.width(), picture.height()};
        load.picture = std::move(picture);
        load.type = detected;
        load.error.clear();
        return load;
    }
    if (load.error.empty() || detected != PictureType::Unknown) load.error = error;
    return load;
}

PictureLoad loadPicture(const std::string& path, PictureType type, const DecodeOptions& options) {
    PictureLoad load;
    std::string content;
    std::string error;
    if (!readRegularFile(path, kMaxPictureFileBytes, content, error)) {
        load.error = error;
        return load;
    }
    return decodePicture(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()), type,
                         options);
}

PictureLoad loadPictureReduced(const std::string& path, int minimumWidth) {
    DecodeOptions options;
    options.minimumWidth = minimumWidth;
    return loadPicture(path, PictureType::Unknown, options);
}

int exifOrientation(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) return 0;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 0;
    auto u16 = [&](std::size_t at) -> unsigned {
        if (at + 2 > tiff.size()) return 0;
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t {
        if (at + 4 > tiff.size()) return 0;
        return little ? static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16)
                      : static_cast<std::uint32_t>(u16(at) << 16 | u16(at + 2));
    };
    const std::size_t ifd = u32(4);
    if (ifd + 2 > tiff.size()) return 0;
    const unsigned count = u16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * 12u;
        if (entry + 12 > tiff.size()) return 0;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
            const unsigned value = u16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
        }
    }
    return 0;
}

}  // namespace tellavine
