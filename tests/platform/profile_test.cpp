#include "platform/profile.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(Profile, ReadsSectionsAndKeysWithoutRegardToCase) {
    TempDir dir;
    const auto ini = dir.file("config.ini");
    writeFile(ini, "; comment\r\n[General]\r\nItems_count = 6 \r\nName=\"Classic look\"\r\n[Other]\r\nItems_count=9\r\n");
    EXPECT_EQ(readProfileInt(ini, "GENERAL", "items_COUNT", 0), 6);
    EXPECT_EQ(readProfileString(ini, "general", "name", "x"), "Classic look");
    EXPECT_EQ(readProfileInt(ini, "other", "Items_count", 0), 9);
}

TEST(Profile, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir dir;
    const auto ini = dir.file("config.ini");
    EXPECT_EQ(readProfileString(ini, "GENERAL", "DISC_NAME", "My Photo Slideshow"), "My Photo Slideshow");
    writeFile(ini, "[GENERAL]\nPAL=1\n");
    EXPECT_EQ(readProfileInt(ini, "Window", "PAL", 7), 7);
    EXPECT_EQ(readProfileInt(ini, "GENERAL", "BurnSpeed", 2), 2);
}

TEST(Profile, IntegersComeFromLeadingDigits) {
    TempDir dir;
    const auto ini = dir.file("a.ini");
    writeFile(ini, "[S]\na=12abc\nb=-20\nc=abc\nd=\ne=99999999999\n");
    EXPECT_EQ(readProfileInt(ini, "S", "a", 5), 12);
    EXPECT_EQ(readProfileInt(ini, "S", "b", 5), -20);
    EXPECT_EQ(readProfileInt(ini, "S", "c", 5), 0);
    EXPECT_EQ(readProfileInt(ini, "S", "d", 5), 0);
    EXPECT_EQ(readProfileInt(ini, "S", "e", 5), 2147483647);
}

TEST(Profile, LongValuesAreCutToTheRequestedLength) {
    TempDir dir;
    const auto ini = dir.file("a.ini");
    writeFile(ini, "[S]\nk=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(readProfileString(ini, "S", "k", "", 1023).size(), 1023u);
}

TEST(Profile, WritesKeepTheRestOfTheFile) {
    TempDir dir;
    const auto ini = dir.file("config.ini");
    writeFile(ini, "; keep me\n[GENERAL]\nPAL=0\n\n[Window]\nx=3\n");
    ASSERT_TRUE(writeProfileInt(ini, "general", "pal", 1));
    ASSERT_TRUE(writeProfileString(ini, "GENERAL", "DISC_NAME", "Holiday"));
    ASSERT_TRUE(writeProfileInt(ini, "Extra", "k", 4));
    EXPECT_EQ(readFile(ini),
              "; keep me\r\n[GENERAL]\r\nPAL=1\r\nDISC_NAME=Holiday\r\n\r\n[Window]\r\nx=3\r\n[Extra]\r\nk=4\r\n");
}

TEST(Profile, WritingCreatesAMissingFileAndFailsInAMissingFolder) {
    TempDir dir;
    const auto ini = dir.file("new.ini");
    ASSERT_TRUE(writeProfileString(ini, "GENERAL", "TempDir", "/tmp/x/"));
    EXPECT_EQ(readProfileString(ini, "GENERAL", "TempDir", ""), "/tmp/x/");
    EXPECT_FALSE(writeProfileString(dir.file("no/such/folder.ini"), "S", "k", "v"));
}

}  // namespace
}  // namespace tellavine
