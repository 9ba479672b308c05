// HEIC, AVIF and WebP: what phones and the web save photos as. Files are made by the
// libraries' own tools and encoder (heif-enc, cwebp, libheif); the pixels match
// ImageMagick's reading in decoder_test.cpp, here they must stand upright.
#include "imaging/codec.h"
#include "imaging/picture_fixtures.h"

#include "support/child_process.h"
#include "support/exif_block.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <libheif/heif.h>

#include <sys/resource.h>

#include <algorithm>
#include <memory>

namespace tellavine {
namespace {

using testing::pictureFixture;
using testing::readBytes;
using testing::shellQuoted;

TEST(PictureFiles, OneExtensionListNamesEveryReadableFormat) {
    const auto extensions = readablePictureExtensions();
    for (const char* wanted : {"jpg", "jpeg", "tif", "bmp", "pcx", "gif", "png", "tga", "wbmp", "jp2", "heic", "heif",
                               "avif", "webp"})
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), wanted), extensions.end()) << wanted;
    for (const std::string& extension : extensions) {
        SCOPED_TRACE(extension);
        EXPECT_EQ(extension, [&] {
            std::string lower = extension;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return lower;
        }());
        EXPECT_TRUE(hasReadablePictureExtension("/photos/IMG_0001." + extension));
    }
    // Metafiles are recognised only to be refused, so no dialog offers them.
    EXPECT_EQ(std::count(extensions.begin(), extensions.end(), "wmf"), 0);
    EXPECT_FALSE(hasReadablePictureExtension("drawing.WMF"));
    EXPECT_EQ(pictureTypeFromExtension("drawing.wmf"), PictureType::Wmf);
    EXPECT_TRUE(hasReadablePictureExtension("C:\\DCIM\\IMG_0001.HEIC"));
    EXPECT_EQ(pictureTypeFromExtension("shot.AVIF"), PictureType::Heif);
    EXPECT_EQ(pictureTypeFromExtension("page.webp"), PictureType::Webp);
    EXPECT_FALSE(hasReadablePictureExtension("clip.mp4"));
    EXPECT_FALSE(hasReadablePictureExtension("heic"));
}

TEST(PictureFiles, HeifAvifAndWebpAreKnownByTheirContent) {
    for (const char* name : {"heic_photo.heic", "avif_photo.avif"})
        EXPECT_EQ(detectPictureType(readBytes(pictureFixture(name).file)), PictureType::Heif) << name;
    EXPECT_EQ(detectPictureType(readBytes(pictureFixture("webp_lossy.webp").file)), PictureType::Webp);
    // A WebP named .jpg still loads.
    const PictureLoad misnamed = decodePicture(readBytes(pictureFixture("webp_lossless.webp").file), PictureType::Jpeg);
    ASSERT_TRUE(misnamed.ok()) << misnamed.error;
    EXPECT_EQ(misnamed.type, PictureType::Webp);
    // An MP4 video has the same box layout but no still-picture brand.
    const std::vector<unsigned char> video = {0, 0, 0, 20, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm',
                                              0, 0, 2, 0, 'm', 'p', '4', '1'};
    EXPECT_EQ(detectPictureType(video), PictureType::Unknown);
}

TEST(PictureFiles, DamagedPhoneFormatsAreRefusedWithAReason) {
    for (const char* name : {"heic_photo.heic", "avif_photo.avif", "webp_lossy.webp"}) {
        SCOPED_TRACE(name);
        auto bytes = readBytes(pictureFixture(name).file);
        bytes.resize(bytes.size() * 2 / 3);
        const PictureLoad cut = decodePicture(bytes);
        EXPECT_FALSE(cut.ok());
        EXPECT_FALSE(cut.error.empty());
    }
}

// Peak resident memory of this process so far, in KiB.
long peakMemoryKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 190 bytes (found by fuzz_picture_webp) declaring a 12336 x 8192 lossy picture with
// almost none of its data: refused before the 300 MB the picture would need are taken.
TEST(PictureFiles, AWebpDeclaringAHugePictureWithoutItsDataTakesNoMemory) {
    const long before = peakMemoryKib();
    const PictureLoad load =
        loadPicture(std::string(TELLAVINE_SOURCE_DIR) + "/fuzz/imaging/corpus/webp/huge-frame-without-data.webp");
    EXPECT_FALSE(load.ok());
    EXPECT_FALSE(load.error.empty());
    EXPECT_LT(peakMemoryKib() - before, 50 * 1024);
}

// 745 bytes (found by fuzz_picture_heif) declaring a 48 x 32 picture whose tile grid is
// 8240 x 10496: refused, not turned into an 86-megapixel photo of noise.
TEST(PictureFiles, AHeifWhoseStreamIsLargerThanDeclaredIsRefused) {
    const PictureLoad load =
        loadPicture(std::string(TELLAVINE_SOURCE_DIR) + "/fuzz/imaging/corpus/heif/stream-larger-than-declared.heic");
    EXPECT_FALSE(load.ok()) << load.picture.width() << "x" << load.picture.height();
    EXPECT_NE(load.error.find("size"), std::string::npos) << load.error;
}

struct HeifContextFree { void operator()(heif_context* c) const { heif_context_free(c); } };
struct HeifEncoderRelease { void operator()(heif_encoder* e) const { heif_encoder_release(e); } };
struct HeifImageRelease { void operator()(heif_image* i) const { heif_image_release(i); } };
struct HeifHandleRelease { void operator()(heif_image_handle* h) const { heif_image_handle_release(h); } };
struct HeifOptionsFree { void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); } };

// A HEIC as a phone writes a photo taken sideways: the pixels as the sensor saw them,
// rotation boxes (irot) saying how to turn them, and an EXIF block saying the same.
void writeHeicWithRotationBoxes(const Picture& sideways, int orientation, const std::string& path) {
    std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    ASSERT_EQ(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code, heif_error_Ok);
    std::unique_ptr<heif_encoder, HeifEncoderRelease> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);
    heif_image* rawImage = nullptr;
    ASSERT_EQ(heif_image_create(sideways.width(), sideways.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                                &rawImage).code,
              heif_error_Ok);
    std::unique_ptr<heif_image, HeifImageRelease> image(rawImage);
    ASSERT_EQ(heif_image_add_plane(image.get(), heif_channel_interleaved, sideways.width(), sideways.height(), 8).code,
              heif_error_Ok);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < sideways.height(); ++y)
        std::copy_n(sideways.row(y), sideways.rowBytes(), plane + static_cast<std::ptrdiff_t>(y) * stride);
    std::unique_ptr<heif_encoding_options, HeifOptionsFree> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(orientation);
    heif_image_handle* rawHandle = nullptr;
    ASSERT_EQ(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), &rawHandle).code,
              heif_error_Ok);
    std::unique_ptr<heif_image_handle, HeifHandleRelease> handle(rawHandle);
    const auto exif = testing::exifBlockWithOrientation(orientation);
    ASSERT_EQ(heif_context_add_exif_metadata(context.get(), handle.get(), exif.data(), static_cast<int>(exif.size())).code,
              heif_error_Ok);
    ASSERT_EQ(heif_context_write_to_file(context.get(), path.c_str()).code, heif_error_Ok);
}

// The orientation the file's EXIF block records, read back through libheif.
int storedExifOrientation(const std::string& path) {
    std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
    if (heif_context_read_from_file(context.get(), path.c_str(), nullptr).code != heif_error_Ok) return -1;
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok) return -1;
    std::unique_ptr<heif_image_handle, HeifHandleRelease> handle(rawHandle);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "Exif", &id, 1) != 1) return 0;
    std::vector<std::uint8_t> block(heif_image_handle_get_metadata_size(handle.get(), id));
    if (block.size() < 4 || heif_image_handle_get_metadata(handle.get(), id, block.data()).code != heif_error_Ok) return -1;
    const std::size_t tiff = 4 + (static_cast<std::size_t>(block[2]) << 8 | block[3]);
    return tiff < block.size() ? exifOrientation(std::span<const std::uint8_t>(block).subspan(tiff)) : -1;
}

// The declared size ("ispe") of the file's first item, overwritten.
void declareSize(std::vector<std::uint8_t>& file, std::uint32_t width, std::uint32_t height) {
    const std::string_view ispe = "ispe";
    const auto at = std::search(file.begin(), file.end(), ispe.begin(), ispe.end());
    ASSERT_NE(at, file.end());
    const auto fields = static_cast<std::size_t>(at - file.begin()) + 8;  // after the type, version and flags
    ASSERT_LE(fields + 8, file.size());
    for (int i = 0; i < 4; ++i) {
        file[fields + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
        file[fields + 4 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
}

// Files whose coded picture is larger than the one they declare are refused from their
// boxes, before libheif decodes anything: the error is not the one the decoded size gets.
// Before, the seeds took up to 4.8 s and 515 MB each. A photo libheif makes at a size that is no
// multiple of the coding blocks still decodes.
TEST(PictureFiles, AHeifCodingALargerPictureThanItDeclaresIsRefusedBeforeDecoding) {
    testing::TempDir dir;
    Picture photo = Picture::create(100, 75);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width() * 3; ++x) photo.row(y)[x] = static_cast<std::uint8_t>(x + 3 * y);
    const std::string made = dir.file("made.heic");
    writeHeicWithRotationBoxes(photo, 1, made);
    const PictureLoad madeLoad = loadPicture(made);
    ASSERT_TRUE(madeLoad.ok()) << madeLoad.error;
    EXPECT_EQ(madeLoad.picture.width(), 100);
    EXPECT_EQ(madeLoad.picture.height(), 75);

    auto shrunk = readBytes(made);
    declareSize(shrunk, 30, 10);
    testing::writeFile(dir.file("shrunk.heic"), std::string(shrunk.begin(), shrunk.end()));

    const std::string corpus = std::string(TELLAVINE_SOURCE_DIR) + "/fuzz/imaging/corpus/heif/";
    const std::string declared = " is larger than the declared picture size 48 x 32";
    const std::pair<std::string, std::string> cases[] = {
        {corpus + "stream-larger-than-declared.heic", "HEIF: the tile grid size 8240 x 10496" + declared},
        {corpus + "grid-larger-than-declared.heic", "HEIF: the tile grid size 8240 x 10496" + declared},
        {corpus + "grid-taller-than-declared.heic", "HEIF: the tile grid size 48 x 11040" + declared},
        // Its grid description runs one byte past its "idat" box; libheif reads it anyway.
        {corpus + "grid-read-past-its-data.heic", "HEIF: the tile grid size 12288 x 8192" + declared},
        {dir.file("shrunk.heic"), "HEIF: the coded stream size "},
    };
    for (const auto& [file, refusal] : cases) {
        SCOPED_TRACE(file);
        const PictureLoad load = loadPicture(file);
        EXPECT_FALSE(load.ok()) << load.picture.width() << "x" << load.picture.height();
        EXPECT_EQ(load.error.rfind(refusal, 0), 0u) << load.error;
    }
}

// Camera photos taken sideways or upside down, in each phone format, come out upright:
// the EXIF orientation is applied once, and a HEIF's rotation boxes are not applied a
// second time on top of its EXIF orientation.
TEST(PictureFiles, PhonePhotosStandUprightWhateverWayTheCameraWasHeld) {
    testing::TempDir dir;
    const PictureLoad upright = loadPicture(pictureFixture("png_rgb.png").file);
    ASSERT_TRUE(upright.ok());
    enum class Maker { HeifEncFromJpeg, AvifFromJpeg, CwebpFromJpeg, LibheifWithRotationBoxes };
    struct Case {
        Maker maker;
        const char* file;
        int orientation;
    };
    const Case cases[] = {
        {Maker::HeifEncFromJpeg, "exif.heic", 6},     {Maker::HeifEncFromJpeg, "exif.heic", 3},
        {Maker::AvifFromJpeg, "exif.avif", 8},        {Maker::CwebpFromJpeg, "exif.webp", 6},
        {Maker::CwebpFromJpeg, "exif.webp", 3},       {Maker::LibheifWithRotationBoxes, "boxes.heic", 6},
        {Maker::LibheifWithRotationBoxes, "boxes.heic", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " orientation " + std::to_string(c.orientation));
        // What the camera stored: the upright photo turned back against the orientation.
        Picture stored = upright.picture.clone();
        if (c.orientation == 6) stored.rotateLeft();
        if (c.orientation == 8) stored.rotateRight();
        if (c.orientation == 3) stored.rotate180();
        const std::string file = dir.file(c.file);
        if (c.maker == Maker::LibheifWithRotationBoxes) {
            writeHeicWithRotationBoxes(stored, c.orientation, file);
            ASSERT_EQ(storedExifOrientation(file), c.orientation) << "the test needs both the boxes and the EXIF";
        } else {
            testing::writeFile(dir.file("stored.rgb"), std::string(stored.pixels().begin(), stored.pixels().end()));
            const std::string jpeg = dir.file("stored.jpg");
            ASSERT_TRUE(testing::runImageMagick("-size " + std::to_string(stored.width()) + "x" +
                                                std::to_string(stored.height()) + " -depth 8 rgb:" +
                                                shellQuoted(dir.file("stored.rgb")) + " -quality 95 " + shellQuoted(jpeg)));
            const auto withExif = testing::jpegWithExifOrientation(readBytes(jpeg), c.orientation);
            testing::writeFile(jpeg, std::string(withExif.begin(), withExif.end()));
            const std::string command = c.maker == Maker::CwebpFromJpeg
                                            ? "cwebp -quiet -q 95 -metadata exif " + shellQuoted(jpeg) + " -o " + shellQuoted(file)
                                            : "heif-enc -q 90 " + shellQuoted(jpeg) + " -o " + shellQuoted(file);
            ASSERT_TRUE(testing::runShell(command).succeeded());
        }
        const PictureLoad load = loadPicture(file);
        ASSERT_TRUE(load.ok()) << load.error;
        const double error = testing::meanError(load.picture, upright.picture.pixels(), upright.picture.width(),
                                                upright.picture.height());
        ASSERT_GE(error, 0) << "came out " << load.picture.width() << "x" << load.picture.height();
        EXPECT_LE(error, 5.0);

        // Without orientation a HEIF still stands as its boxes say; EXIF alone is not applied.
        DecodeOptions raw;
        raw.applyOrientation = false;
        const PictureLoad unturned = decodePicture(readBytes(file), PictureType::Unknown, raw);
        ASSERT_TRUE(unturned.ok());
        const bool boxesTurnIt = c.maker == Maker::LibheifWithRotationBoxes;
        EXPECT_EQ(unturned.picture.width(), boxesTurnIt ? upright.picture.width() : stored.width());
    }
}

}  // namespace
}  // namespace tellavine
