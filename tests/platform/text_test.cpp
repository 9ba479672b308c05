#include "platform/text.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

struct CaseCase {
    const char* a;
    const char* b;
    bool names;      // equalsIgnoreCase: Unicode case folding
    bool fileNames;  // fileNamesEqualIgnoreCase: one character for one
};

class CaseInsensitiveComparison : public ::testing::TestWithParam<CaseCase> {};

TEST_P(CaseInsensitiveComparison, DecidesByUnicodeCaseFolding) {
    const CaseCase& c = GetParam();
    EXPECT_EQ(equalsIgnoreCase(c.a, c.b), c.names) << c.a << " / " << c.b;
    EXPECT_EQ(equalsIgnoreCase(c.b, c.a), c.names);
    EXPECT_EQ(fileNamesEqualIgnoreCase(c.a, c.b), c.fileNames) << c.a << " / " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Text, CaseInsensitiveComparison,
    ::testing::Values(CaseCase{"Holiday", "HOLIDAY", true, true},
                      CaseCase{"Holiday", "Holidays", false, false},
                      CaseCase{"ÉTÉ", "été", true, true},
                      CaseCase{"Ärger über Öl", "ärger ÜBER öl", true, true},
                      CaseCase{"STRASSE", "straße", true, false},  // ß folds to ss, but not as one letter
                      CaseCase{"Αθηνα", "ΑΘΗΝΑ", true, true},
                      CaseCase{"ΣΟΦΟΣ", "σοφος", true, true},      // final sigma
                      CaseCase{"Москва", "МОСКВА", true, true},
                      CaseCase{"ԱՐԱՐԱՏ", "արարատ", true, true},    // Armenian, beyond the old table
                      CaseCase{"ŠĐŽ ǅ", "šđž ǆ", true, true},      // Latin Extended-B title case
                      CaseCase{"e\u0301", "é", false, false},    // folding, not normalisation
                      CaseCase{"a\xff", "A\xff", true, true},    // invalid bytes compare as themselves
                      CaseCase{"a\xff", "a\xfe", false, false},
                      CaseCase{"\xc3", "\xc3\x83", false, false},  // a cut sequence is not the letter
                      CaseCase{"x\xff", "x\xc3\xbf", false, false}));  // nor is byte FF the letter ÿ

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
