#include "imaging/exif_date.h"

#include "support/exif_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

struct DateCase {
    const char* name;
    std::string file;
    std::string expected;
};

class PictureDateTaken : public ::testing::TestWithParam<DateCase> {};

TEST_P(PictureDateTaken, ReadsTheCamerasDateOrNothing) {
    testing::TempDir dir;
    testing::writeFile(dir.file("photo.jpg"), GetParam().file);
    EXPECT_EQ(pictureDateTaken(dir.file("photo.jpg")), GetParam().expected);
}

std::string withoutEnd(std::string file, std::size_t bytes) { return file.substr(0, file.size() - bytes); }

INSTANTIATE_TEST_SUITE_P(
    ExifDate, PictureDateTaken,
    ::testing::Values(
        DateCase{"Intel", testing::jpegWithDateTaken("2021:07:04 18:30:00"), "2021:07:04 18:30:00"},
        DateCase{"Motorola", testing::jpegWithDateTaken("1999:12:31 23:59:59", true), "1999:12:31 23:59:59"},
        DateCase{"NoClock", testing::jpegWithDateTaken("0000:00:00 00:00:00"), ""},
        DateCase{"Blank", testing::jpegWithDateTaken("                   "), ""},
        // The block claims more bytes than the file has: nothing is read past the end.
        DateCase{"Cut", withoutEnd(testing::jpegWithDateTaken("2021:07:04 18:30:00"), 24), ""},
        DateCase{"NotAPicture", "hello", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine
