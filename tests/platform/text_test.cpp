#include "platform/text.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

TEST(Text, CaseInsensitiveComparisonFoldsNonAsciiLetters) {
    EXPECT_TRUE(equalsIgnoreCase("Holiday", "HOLIDAY"));
    EXPECT_TRUE(equalsIgnoreCase("Ärger über Öl", "ärger ÜBER öl"));
    EXPECT_TRUE(equalsIgnoreCase("Αθηνα", "ΑΘΗΝΑ"));
    EXPECT_TRUE(equalsIgnoreCase("Москва", "МОСКВА"));
    EXPECT_FALSE(equalsIgnoreCase("Holiday", "Holidays"));
    EXPECT_FALSE(equalsIgnoreCase("a\xff", "a\xfe"));  // invalid bytes compare as themselves
    EXPECT_TRUE(equalsIgnoreCase("a\xff", "A\xff"));
}

TEST(Text, PathPiecesAcceptBothSeparators) {
    EXPECT_EQ(fileNamePart("C:\\Photos\\img.jpg"), "img.jpg");
    EXPECT_EQ(fileNamePart("/home/u/Photos/img.jpg"), "img.jpg");
    EXPECT_EQ(fileNamePart("img.jpg"), "img.jpg");
    EXPECT_EQ(folderPart("template\\classic.ini"), "template\\");
    EXPECT_EQ(folderPart("a/b\\c.ini"), "a/b\\");
}

TEST(Text, TruncationNeverSplitsACharacter) {
    EXPECT_EQ(truncateUtf8("abcdef", 3), "abc");
    EXPECT_EQ(truncateUtf8("ab\xc3\xa4", 3), "ab");  // 'ä' needs two bytes
    EXPECT_EQ(truncateUtf8("ab\xc3\xa4", 4), "ab\xc3\xa4");
}

TEST(Text, ExtensionsCompareUpperCased) {
    EXPECT_TRUE(endsWithIgnoreCase("song.mp3", ".MP3"));
    EXPECT_FALSE(endsWithIgnoreCase("mp3", ".MP3"));
    EXPECT_EQ(formatText("%smenu_%02d.mpg", "/tmp/", 3), "/tmp/menu_03.mpg");
}

}  // namespace
}  // namespace tellavine
