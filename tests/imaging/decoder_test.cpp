#include "imaging/codec.h"
#include "imaging/picture_fixtures.h"

#include "platform/bytes.h"
#include "support/exif_block.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tellavine {
namespace {

using testing::pictureFixture;
using testing::pictureFixtureFolder;
using testing::pictureFixtures;
using testing::readBytes;

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

TEST(PictureDecoding, EveryFormatAndDepthMatchesImageMagick) {
    ASSERT_GE(pictureFixtures().size(), 40u);
    for (const auto& fixture : pictureFixtures()) {
        SCOPED_TRACE(fixture.file);
        const PictureLoad load = loadPicture(fixture.file);
        ASSERT_TRUE(load.ok()) << load.error;
        const double error = testing::meanError(load.picture, readBytes(fixture.reference), fixture.width, fixture.height);
        ASSERT_GE(error, 0) << "size " << load.picture.width() << "x" << load.picture.height() << " expected "
                            << fixture.width << "x" << fixture.height;
        if (fixture.allowedMeanError == 0)
            EXPECT_EQ(error, 0);
        else
            EXPECT_LE(error, fixture.allowedMeanError);
    }
}

TEST(PictureDecoding, TheContentDecidesWhenTheGivenTypeIsWrong) {
    const auto png = readBytes(pictureFixture("png_rgb.png").file);
    const PictureLoad asJpeg = decodePicture(png, PictureType::Jpeg);
    ASSERT_TRUE(asJpeg.ok());
    EXPECT_EQ(asJpeg.type, PictureType::Png);

    // TGA and WBMP have no signature; the given type is tried first.
    const auto tga = readBytes(pictureFixture("tga_24bit.tga").file);
    EXPECT_EQ(decodePicture(tga, PictureType::Tga).type, PictureType::Tga);
    EXPECT_EQ(detectPictureType(tga), PictureType::Tga);
    EXPECT_EQ(detectPictureType(readBytes(pictureFixture("wbmp_bilevel.wbmp").file)), PictureType::Wbmp);
    EXPECT_EQ(detectPictureType(readBytes(pictureFixture("pcx_8bit.pcx").file)), PictureType::Pcx);
    EXPECT_EQ(detectPictureType(readBytes(pictureFixture("j2k_codestream.j2k").file)), PictureType::Jpeg2000);
    EXPECT_EQ(detectPictureType(readBytes(pictureFixture("jp2_file.jp2").file)), PictureType::Jpeg2000);

    EXPECT_EQ(pictureTypeFromExtension("/photos/IMG_0001.JPG"), PictureType::Jpeg);
    EXPECT_EQ(pictureTypeFromExtension("C:\\scan.tiff"), PictureType::Tiff);
    EXPECT_EQ(pictureTypeFromExtension("notes.txt"), PictureType::Unknown);
}

TEST(PictureDecoding, MetafilesAndUnknownFilesAreRefusedWithAReason) {
    const std::vector<unsigned char> wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0};
    const PictureLoad metafile = decodePicture(wmf);
    EXPECT_FALSE(metafile.ok());
    EXPECT_NE(metafile.error.find("WMF"), std::string::npos);

    const std::vector<unsigned char> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(decodePicture(text).ok());
    EXPECT_FALSE(decodePicture({}).ok());
    const PictureLoad missing = loadPicture("/nonexistent/photo.jpg");
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error.empty());
}

TEST(PictureDecoding, JpegReductionPicksTheSmallestScaleThatKeepsTheMinimumWidth) {
    // A 1600 x 1200 photo: for width 320 1/4 is the smallest scale (1600 >= 4 * 320, < 8 * 320).
    testing::TempDir dir;
    const std::string big = dir.file("big.jpg");
    ASSERT_TRUE(testing::runImageMagick("'" + pictureFixture("png_rgb.png").file + "' -resize 1600x1200! -quality 90 '" + big + "'"));
    const PictureLoad quarter = loadPictureReduced(big, 320);
    ASSERT_TRUE(quarter.ok());
    EXPECT_EQ(quarter.picture.width(), 400);
    EXPECT_EQ(quarter.picture.height(), 300);
    EXPECT_EQ(loadPictureReduced(big, 200).picture.width(), 200);   // 1/8
    EXPECT_EQ(loadPictureReduced(big, 700).picture.width(), 800);   // 1/2
    EXPECT_EQ(loadPictureReduced(big, 1000).picture.width(), 1600); // full size

    // The reduced decoding is the picture, not something else of that size.
    const Picture reference = testing::imageMagickDecode("-define jpeg:size=400x300 " + big);
    ASSERT_EQ(reference.width(), 400);
    EXPECT_LE(testing::meanError(quarter.picture, reference.pixels(), 400, 300), 3.0);

    // Other formats load at full size.
    EXPECT_EQ(loadPictureReduced(pictureFixture("png_rgb.png").file, 10).picture.width(), 101);
}

TEST(PictureDecoding, CameraOrientationIsAppliedSoPhotosStandUpright) {
    const auto jpeg = readBytes(pictureFixture("jpeg_rgb.jpg").file);
    const PictureLoad plain = decodePicture(jpeg);
    ASSERT_TRUE(plain.ok());
    struct Case { int orientation; const char* imageMagick; };
    for (const Case c : {Case{3, "-rotate 180"}, Case{6, "-rotate 90"}, Case{8, "-rotate 270"}, Case{2, "-flop"},
                         Case{4, "-flip"}, Case{5, "-transpose"}, Case{7, "-transverse"}}) {
        for (bool bigEndian : {false, true}) {
            SCOPED_TRACE(c.orientation);
            const PictureLoad turned = decodePicture(testing::jpegWithExifOrientation(jpeg, c.orientation, bigEndian));
            ASSERT_TRUE(turned.ok());
            testing::TempDir dir;
            writeBytes(dir.file("plain.rgb"), plain.picture.pixels());
            const Picture expected = testing::imageMagickDecode(
                "-size 101x67 -depth 8 rgb:" + dir.file("plain.rgb"), c.imageMagick);
            ASSERT_TRUE(expected.valid());
            EXPECT_EQ(testing::meanError(turned.picture, expected.pixels(), expected.width(), expected.height()), 0);
        }
    }
    DecodeOptions raw;
    raw.applyOrientation = false;
    EXPECT_EQ(decodePicture(testing::jpegWithExifOrientation(jpeg, 6, false), PictureType::Jpeg, raw).picture.width(), 101);
}

TEST(PictureDecoding, ReductionByShorterSideKeepsBothSidesAndReportsTheFullSizeUpright) {
    testing::TempDir dir;
    const std::string big = dir.file("big.jpg");
    ASSERT_TRUE(testing::runImageMagick("'" + pictureFixture("png_rgb.png").file + "' -resize 1600x1200! -quality 90 '" + big + "'"));
    const auto decode = [](std::span<const std::uint8_t> bytes, int minimumSide) {
        DecodeOptions options;
        options.minimumSide = minimumSide;
        return decodePicture(bytes, PictureType::Unknown, options);
    };
    const auto bytes = readBytes(big);
    // The shorter side decides: 1200 / 4 = 300 still reaches 300, 1200 / 8 does not.
    const PictureLoad quarter = decode(bytes, 300);
    EXPECT_EQ(quarter.picture.width(), 400);
    EXPECT_EQ(quarter.picture.height(), 300);
    EXPECT_EQ(decode(bytes, 301).picture.width(), 800);
    EXPECT_EQ(decode(bytes, 601).picture.width(), 1600);
    for (int side : {0, 300, 301, 601}) {
        const PictureLoad load = decode(bytes, side);
        EXPECT_EQ(load.fullSize.width, 1600) << side;
        EXPECT_EQ(load.fullSize.height, 1200) << side;
    }
    // A camera's quarter turn turns the full size too.
    const PictureLoad turned = decode(testing::jpegWithExifOrientation(bytes, 6, false), 300);
    EXPECT_EQ(turned.picture.width(), 300);
    EXPECT_EQ(turned.picture.height(), 400);
    EXPECT_EQ(turned.fullSize.width, 1200);
    EXPECT_EQ(turned.fullSize.height, 1600);
    // Other formats are never reduced; their full size is their size.
    const PictureLoad png = decode(readBytes(pictureFixture("png_rgb.png").file), 10);
    EXPECT_EQ(png.picture.width(), 101);
    EXPECT_EQ(png.fullSize.width, 101);
    EXPECT_EQ(png.fullSize.height, png.picture.height());
}

TEST(PictureDecoding, Jpeg2000DecodesFromFewerResolutionLevelsWhenThePictureIsLarge) {
    testing::TempDir dir;
    const std::string big = dir.file("big.jp2");
    ASSERT_TRUE(testing::runImageMagick("'" + pictureFixture("png_rgb.png").file + "' -resize 1601x1200! -quality 50 '" + big + "'"));
    const auto bytes = readBytes(big);
    DecodeOptions whole;
    const PictureLoad full = decodePicture(bytes, PictureType::Unknown, whole);
    ASSERT_TRUE(full.ok());
    for (const auto& [side, width, height] : {std::tuple{300, 401, 300}, std::tuple{301, 801, 600}, std::tuple{601, 1601, 1200}}) {
        SCOPED_TRACE(side);
        DecodeOptions options;
        options.minimumSide = side;
        const PictureLoad load = decodePicture(bytes, PictureType::Unknown, options);
        ASSERT_TRUE(load.ok());
        EXPECT_EQ(load.picture.width(), width);
        EXPECT_EQ(load.picture.height(), height);
        EXPECT_EQ(load.fullSize.width, 1601);
        EXPECT_EQ(load.fullSize.height, 1200);
        // The reduced picture is the picture: close to the full one shrunk alike.
        Picture shrunk = full.picture.clone();
        shrunk.resample(width, height);
        EXPECT_LE(testing::meanError(load.picture, shrunk.pixels(), width, height), 3.0);
    }
}

TEST(PictureDecoding, DamagedFilesFailOrDecodeButNeverCrash) {
    for (const auto& fixture : pictureFixtures()) {
        SCOPED_TRACE(fixture.file);
        const auto bytes = readBytes(fixture.file);
        for (std::size_t keep : {std::size_t{0}, std::size_t{1}, std::size_t{12}, std::size_t{40}, bytes.size() / 2, bytes.size() - 1}) {
            std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(keep, bytes.size())));
            const PictureLoad load = decodePicture(cut);
            if (load.ok()) {
                EXPECT_GT(load.picture.width(), 0);
            } else {
                EXPECT_FALSE(load.error.empty());
            }
        }
        // Scrambled bytes after the signature.
        auto scrambled = bytes;
        for (std::size_t i = 8; i < scrambled.size(); i += 7) scrambled[i] ^= 0x5A;
        (void)decodePicture(scrambled);
    }
}

TEST(PictureDecoding, JpegCutInsideItsDataIsRefusedButOneWithoutEndMarkerDecodes) {
    for (const char* sample : {"dune.jpg", "two_wings_portrait.jpg"}) {
        SCOPED_TRACE(sample);
        const auto bytes = readBytes(std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/" + sample);
        ASSERT_TRUE(decodePicture(bytes).ok());
        // Cut in the middle: libjpeg would fill the lower part with grey and call it done.
        const std::vector<unsigned char> half(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
        const PictureLoad cut = decodePicture(half);
        EXPECT_FALSE(cut.ok());
        EXPECT_NE(cut.error.find("truncated"), std::string::npos) << cut.error;
        // Only the end-of-image marker missing: every row is there.
        ASSERT_EQ(bytes[bytes.size() - 2], 0xFF);
        ASSERT_EQ(bytes[bytes.size() - 1], 0xD9);
        const std::vector<unsigned char> noEnd(bytes.begin(), bytes.end() - 2);
        const PictureLoad whole = decodePicture(noEnd);
        EXPECT_TRUE(whole.ok()) << whole.error;
    }
}

TEST(PictureDecoding, TiffWhoseStripsCannotBeDecodedIsRefusedAtTheFirst) {
    // 274 bytes declaring a 9216 x 4168 picture in 596 strips without data (found by the
    // fuzzer): every strip was tried, slowly, and a black picture came out as a success.
    const auto bytes = readBytes(std::string(TELLAVINE_SOURCE_DIR) + "/fuzz/imaging/corpus/tiff/strips-without-data.tif");
    ASSERT_EQ(bytes.size(), 274u);
    const PictureLoad load = decodePicture(bytes, PictureType::Tiff);
    EXPECT_FALSE(load.ok());
    EXPECT_NE(load.error.find("TIFF"), std::string::npos) << load.error;
}

TEST(PictureDecoding, HostileSizesAreRefusedBeforeAllocating) {
    // A BMP header that claims 100000 x 100000 pixels.
    auto bmp = readBytes(pictureFixture("bmp_24bit.bmp").file);
    bmp[18] = 0xA0; bmp[19] = 0x86; bmp[20] = 0x01; bmp[21] = 0;
    bmp[22] = 0xA0; bmp[23] = 0x86; bmp[24] = 0x01; bmp[25] = 0;
    EXPECT_FALSE(decodeBmp(bmp, *std::make_unique<Picture>(), *std::make_unique<std::string>()));

    // A TGA of 65535 x 65535 with a handful of bytes.
    std::vector<unsigned char> tga(18 + 16, 0);
    tga[2] = 2; tga[12] = tga[13] = tga[14] = tga[15] = 0xFF; tga[16] = 24;
    EXPECT_FALSE(decodePicture(tga, PictureType::Tga).ok());

    // A WBMP that claims 2^28 x 2^28.
    const std::vector<unsigned char> wbmp = {0, 0, 0x81, 0x80, 0x80, 0x80, 0x00, 0x81, 0x80, 0x80, 0x80, 0x00, 0xFF};
    EXPECT_FALSE(decodePicture(wbmp, PictureType::Wbmp).ok());

    // A PNG whose IHDR says 40000 x 40000.
    auto png = readBytes(pictureFixture("png_rgb.png").file);
    png[16] = 0; png[17] = 0; png[18] = 0x9C; png[19] = 0x40;
    png[20] = 0; png[21] = 0; png[22] = 0x9C; png[23] = 0x40;
    EXPECT_FALSE(decodePicture(png).ok());

    // A PCX window of 65535 x 65535.
    auto pcx = readBytes(pictureFixture("pcx_24bit.pcx").file);
    pcx[8] = pcx[9] = pcx[10] = pcx[11] = 0xFF;
    EXPECT_FALSE(decodePicture(pcx).ok());
}

TEST(PictureDecoding, BmpAndTgaRowOrderFlagsAreHonoured) {
    const PictureLoad reference = loadPicture(pictureFixture("bmp_24bit.bmp").file);
    ASSERT_TRUE(reference.ok());
    // Top-down BMP: negative height and the stored rows reversed.
    auto bmp = readBytes(pictureFixture("bmp_24bit.bmp").file);
    const std::size_t offset = bmp[10] | bmp[11] << 8;
    const std::size_t stride = (101 * 3 + 3) / 4 * 4;
    std::vector<unsigned char> flipped(bmp.begin(), bmp.begin() + static_cast<std::ptrdiff_t>(offset));
    for (int row = 66; row >= 0; --row)
        flipped.insert(flipped.end(), bmp.begin() + static_cast<std::ptrdiff_t>(offset + row * stride),
                       bmp.begin() + static_cast<std::ptrdiff_t>(offset + (row + 1) * stride));
    const std::int32_t negative = -67;
    for (int i = 0; i < 4; ++i) flipped[22 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(negative) >> (8 * i));
    const PictureLoad topDown = decodePicture(flipped);
    ASSERT_TRUE(topDown.ok());
    EXPECT_EQ(topDown.picture.pixels(), reference.picture.pixels());

    // Top-origin TGA: descriptor bit 5 and the rows reversed.
    auto tga = readBytes(pictureFixture("tga_24bit.tga").file);
    const std::size_t start = 18 + tga[0];
    std::vector<unsigned char> top(tga.begin(), tga.begin() + static_cast<std::ptrdiff_t>(start));
    for (int row = 66; row >= 0; --row)
        top.insert(top.end(), tga.begin() + static_cast<std::ptrdiff_t>(start + row * 303),
                   tga.begin() + static_cast<std::ptrdiff_t>(start + (row + 1) * 303));
    top[17] |= 0x20;
    const PictureLoad tgaTop = decodePicture(top, PictureType::Tga);
    ASSERT_TRUE(tgaTop.ok());
    const PictureLoad tgaBottom = loadPicture(pictureFixture("tga_24bit.tga").file, PictureType::Tga);
    EXPECT_EQ(tgaTop.picture.pixels(), tgaBottom.picture.pixels());
}

// A TGA's origin: descriptor bit 5 set means the first stored row is the top one, bit 4
// set that each row is stored right to left.
struct TgaOrigin {
    const char* name;
    bool fromTop;
    bool fromRight;
};

class TgaOriginTest : public ::testing::TestWithParam<TgaOrigin> {};

TEST_P(TgaOriginTest, EveryOriginGivesThePictureTheBitmapGives) {
    // ImageMagick writes a proper top-down TGA when asked for the top-left origin (its
    // default marks top-first rows as bottom-up, which readers that honour the origin,
    // ffmpeg among them, show flipped). The other origins are made from it by reordering.
    testing::TempDir dir;
    const std::string made = dir.file("top_left.tga");
    ASSERT_TRUE(testing::runImageMagick(pictureFixtureFolder() + "photo.png -orient TopLeft -compress None " + made));
    const auto topLeft = readBytes(made);
    ASSERT_EQ(topLeft[17] & 0x30, 0x20);
    const std::size_t start = 18 + topLeft[0];
    constexpr int kWidth = 101, kHeight = 67;
    ASSERT_GE(topLeft.size(), start + kWidth * kHeight * 3u);

    const TgaOrigin& origin = GetParam();
    std::vector<unsigned char> tga(topLeft.begin(), topLeft.begin() + static_cast<std::ptrdiff_t>(start));
    tga[17] = static_cast<unsigned char>((tga[17] & ~0x30) | (origin.fromTop ? 0x20 : 0) | (origin.fromRight ? 0x10 : 0));
    for (int stored = 0; stored < kHeight; ++stored) {
        const int y = origin.fromTop ? stored : kHeight - 1 - stored;
        for (int column = 0; column < kWidth; ++column) {
            const int x = origin.fromRight ? kWidth - 1 - column : column;
            const auto pixel = topLeft.begin() + static_cast<std::ptrdiff_t>(start + (y * kWidth + x) * 3);
            tga.insert(tga.end(), pixel, pixel + 3);
        }
    }

    const PictureLoad decoded = decodePicture(tga, PictureType::Tga);
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    const PictureLoad bitmap = loadPicture(pictureFixture("bmp_24bit.bmp").file);
    ASSERT_TRUE(bitmap.ok());
    EXPECT_EQ(decoded.picture.pixels(), bitmap.picture.pixels());
}

INSTANTIATE_TEST_SUITE_P(Origins, TgaOriginTest,
                         ::testing::Values(TgaOrigin{"BottomLeft", false, false}, TgaOrigin{"TopLeft", true, false},
                                           TgaOrigin{"BottomRight", false, true}, TgaOrigin{"TopRight", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine

namespace tellavine {
namespace {

TEST(PictureDecoding, HandMadeRle4BitmapsAndSixteenBitTargasDecode) {
    // A 5 x 2 RLE4 bitmap: bottom row a run of 1, 2, 1, 2, 1; top row the absolute
    // pixels 3, 4, 5 then a run of 6, 6. Palette entry i is (10 i, 0, 255 - 10 i).
    ByteWriter bmp;
    bmp.u16le(0x4D42);
    bmp.u32le(0);  // file size, not checked
    bmp.u32le(0);
    bmp.u32le(14 + 40 + 64);
    bmp.u32le(40);
    bmp.i32le(5);
    bmp.i32le(2);
    bmp.u16le(1);
    bmp.u16le(4);
    bmp.u32le(2);  // BI_RLE4
    bmp.fill(20);
    for (int i = 0; i < 16; ++i) {
        bmp.u8(static_cast<std::uint8_t>(255 - 10 * i));
        bmp.u8(0);
        bmp.u8(static_cast<std::uint8_t>(10 * i));
        bmp.u8(0);
    }
    for (std::uint8_t b : {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0x34, 0x50, 0x02, 0x66, 0x00, 0x01}) bmp.u8(b);
    const PictureLoad rle = decodePicture(bmp.data());
    ASSERT_TRUE(rle.ok()) << rle.error;
    auto index = [&](int x, int y) { return rle.picture.pixel(x, y).r / 10; };
    EXPECT_EQ(index(0, 1), 1);
    EXPECT_EQ(index(1, 1), 2);
    EXPECT_EQ(index(4, 1), 1);
    EXPECT_EQ(index(0, 0), 3);
    EXPECT_EQ(index(2, 0), 5);
    EXPECT_EQ(index(3, 0), 6);
    EXPECT_EQ(index(4, 0), 6);

    // RLE8, 1 x 1: 8.5 million deltas of 255 columns on the same row, then a one-pixel
    // run. The column must stop at the row's end, not count past 2^31 and wrap round
    // to a negative column that writes gigabytes before the picture.
    ByteWriter far;
    far.u16le(0x4D42);
    far.u32le(0);
    far.u32le(0);
    far.u32le(14 + 40 + 4);
    far.u32le(40);
    far.i32le(1);
    far.i32le(1);
    far.u16le(1);
    far.u16le(8);
    far.u32le(1);  // BI_RLE8
    far.fill(20);
    far.u32le(0x00FFFFFF);  // palette entry 0: white
    for (int i = 0; i < 8'500'000; ++i) {
        for (std::uint8_t b : {0x00, 0x02, 0xFF, 0x00}) far.u8(b);
    }
    for (std::uint8_t b : {0x01, 0x00, 0x00, 0x01}) far.u8(b);
    const PictureLoad wrapped = decodePicture(far.data());
    ASSERT_TRUE(wrapped.ok()) << wrapped.error;
    EXPECT_EQ(wrapped.picture.pixel(0, 0), (Rgb{0, 0, 0}));  // nothing was ever written

    // A 2 x 1 true-colour TGA with 16-bit pixels (5 bits per channel), rows from the top.
    ByteWriter tga;
    tga.u8(0);
    tga.u8(0);
    tga.u8(2);
    tga.fill(9);
    tga.u16le(2);
    tga.u16le(1);
    tga.u8(16);
    tga.u8(0x20);
    tga.u16le(0x7C00);  // red
    tga.u16le(0x0210);  // green 16 of 31, blue 16 of 31
    const PictureLoad sixteen = decodePicture(tga.data(), PictureType::Tga);
    ASSERT_TRUE(sixteen.ok()) << sixteen.error;
    EXPECT_EQ(sixteen.picture.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(sixteen.picture.pixel(1, 0), (Rgb{0, 132, 132}));  // bits repeated: 10000 -> 10000100
}

}  // namespace
}  // namespace tellavine
