// The date taken from EXIF blocks built byte by byte, in both byte orders, and from files.
#include "imaging/exif_date.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tellavine {
namespace {

struct Tag {
    unsigned id;
    std::string date;  // ASCII value; empty: the EXIF IFD pointer
};

// A TIFF block: IFD0 with `ifd0` tags, and the EXIF IFD (when IFD0 points to it) with
// `exif` tags. Dates are stored after both IFDs.
std::vector<std::uint8_t> tiffBlock(bool little, const std::vector<Tag>& ifd0, const std::vector<Tag>& exif) {
    std::vector<std::uint8_t> out;
    auto u16 = [&](unsigned v) {
        if (little) out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
        else out.insert(out.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
    };
    auto u32 = [&](std::uint32_t v) {
        if (little) { u16(v & 0xFFFF); u16(v >> 16); }
        else { u16(v >> 16); u16(v & 0xFFFF); }
    };
    out.insert(out.end(), little ? std::initializer_list<std::uint8_t>{'I', 'I'} : std::initializer_list<std::uint8_t>{'M', 'M'});
    u16(42);
    u32(8);
    const std::uint32_t ifd0Size = 2 + 12 * static_cast<std::uint32_t>(ifd0.size()) + 4;
    const std::uint32_t exifAt = 8 + ifd0Size;
    const std::uint32_t exifSize = 2 + 12 * static_cast<std::uint32_t>(exif.size()) + 4;
    std::uint32_t dataAt = exifAt + exifSize;
    std::string strings;
    auto writeIfd = [&](const std::vector<Tag>& tags) {
        u16(static_cast<unsigned>(tags.size()));
        for (const Tag& tag : tags) {
            u16(tag.id);
            if (tag.date.empty()) {
                u16(4); u32(1); u32(exifAt);
            } else {
                u16(2); u32(static_cast<std::uint32_t>(tag.date.size() + 1)); u32(dataAt + static_cast<std::uint32_t>(strings.size()));
                strings += tag.date;
                strings += '\0';
            }
        }
        u32(0);
    };
    writeIfd(ifd0);
    writeIfd(exif);
    out.insert(out.end(), strings.begin(), strings.end());
    return out;
}

struct DateCase {
    const char* name;
    std::vector<Tag> ifd0;
    std::vector<Tag> exif;
    std::optional<std::string> expected;
};

class ExifDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(ExifDate, ReadsTheDateTakenInBothByteOrders) {
    for (bool little : {true, false}) {
        const auto block = tiffBlock(little, GetParam().ifd0, GetParam().exif);
        EXPECT_EQ(exifDateFromTiff(block), GetParam().expected) << (little ? "II" : "MM");
    }
}

const std::string kShot = "2024:05:01 12:34:56";
const std::string kScanned = "2025:01:02 03:04:05";
const std::string kSaved = "2026:07:08 09:10:11";

INSTANTIATE_TEST_SUITE_P(
    Blocks, ExifDate,
    ::testing::Values(
        DateCase{"OriginalWins", {{0x0132, kSaved}, {0x8769, ""}}, {{0x9003, kShot}, {0x9004, kScanned}}, kShot},
        DateCase{"DigitizedNext", {{0x0132, kSaved}, {0x8769, ""}}, {{0x9004, kScanned}}, kScanned},
        DateCase{"FileDateLast", {{0x0132, kSaved}}, {}, kSaved},
        DateCase{"ZerosMeanNoClock", {{0x8769, ""}}, {{0x9003, "0000:00:00 00:00:00"}}, std::nullopt},
        DateCase{"MalformedIsRefused", {{0x8769, ""}}, {{0x9003, "2024-05-01 12:34:56"}}, std::nullopt},
        DateCase{"NoDate", {}, {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExifDateBlocks, OffsetsOutsideTheBlockAreNotFollowed) {
    auto block = tiffBlock(true, {{0x8769, ""}}, {{0x9003, kShot}});
    block.resize(block.size() - 10);  // the date's bytes cut off
    EXPECT_EQ(exifDateFromTiff(block), std::nullopt);
    block[4] = 0xF0;  // IFD0 far past the end
    EXPECT_EQ(exifDateFromTiff(block), std::nullopt);
    EXPECT_EQ(exifDateFromTiff({}), std::nullopt);
}

TEST(ExifDateFiles, FindsTheBlockInAJpegAndAcceptsATiff) {
    testing::TempDir dir;
    const auto tiff = tiffBlock(false, {{0x8769, ""}}, {{0x9003, kShot}});
    std::string jpeg = "\xFF\xD8";
    jpeg += std::string("\xFF\xE0\x00\x04JF", 6);  // an APP0 segment first
    const std::size_t length = tiff.size() + 8;
    jpeg += "\xFF\xE1";
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg += std::string("Exif\0\0", 6);
    jpeg.append(tiff.begin(), tiff.end());
    jpeg += "\xFF\xDA";
    testing::writeFile(dir.file("a.jpg"), jpeg);
    testing::writeFile(dir.file("b.tif"), std::string(tiff.begin(), tiff.end()));
    testing::writeFile(dir.file("c.jpg"), "\xFF\xD8\xFF\xDA");
    EXPECT_EQ(exifDateTaken(dir.file("a.jpg")), kShot);
    EXPECT_EQ(exifDateTaken(dir.file("b.tif")), kShot);
    EXPECT_EQ(exifDateTaken(dir.file("c.jpg")), std::nullopt);
    EXPECT_EQ(exifDateTaken(dir.file("missing.jpg")), std::nullopt);
}

}  // namespace
}  // namespace tellavine
