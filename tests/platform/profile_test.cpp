#include "platform/profile.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

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

// Files that are not settings: each is read as missing (every default), named in the
// reason profileFileProblem gives, and never written through. Before the caps, /dev/zero
// grew one line without end and a FIFO blocked the reader for good.
struct UnreadableProfile {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* reason;
};

class UnreadableProfileTest : public ::testing::TestWithParam<UnreadableProfile> {};

TEST_P(UnreadableProfileTest, IsReadAsDefaultsNamedAndNeverWritten) {
    TempDir dir;
    const auto ini = dir.file("config.ini");
    GetParam().make(ini);
    EXPECT_EQ(readProfileString(ini, "S", "k", "default"), "default");
    EXPECT_EQ(readProfileInt(ini, "S", "n", 7), 7);
    EXPECT_NE(profileFileProblem(ini).find(GetParam().reason), std::string::npos) << profileFileProblem(ini);
    const auto document = ProfileDocument::load(ini);
    EXPECT_FALSE(document.loaded());
    EXPECT_NE(document.error().find(GetParam().reason), std::string::npos) << document.error();

    struct stat before {};
    ASSERT_EQ(::stat(ini.c_str(), &before), 0);
    EXPECT_FALSE(writeProfileString(ini, "S", "k", "v"));
    struct stat after {};
    ASSERT_EQ(::stat(ini.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
}

const std::string kSettings = "[S]\r\nk=found\r\nn=3\r\n";

// kSettings followed by comment lines, `size` bytes in all.
std::string settingsOfSize(std::size_t size) {
    std::string text = kSettings;
    while (text.size() < size) text += std::string(std::min<std::size_t>(99, size - text.size() - 1), ';') + "\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Profile, UnreadableProfileTest,
    ::testing::Values(
        UnreadableProfile{"LargerThanOneMiB",
                          [](const std::string& path) {
                              writeFile(path, settingsOfSize(kMaxProfileBytes + 1));
                          },
                          "larger than 1 MiB"},
        UnreadableProfile{"OverlongLine",
                          [](const std::string& path) {
                              writeFile(path, kSettings + "; " + std::string(kMaxProfileLineBytes, 'x') + "\n");
                          },
                          "line 4 is longer than 16 KiB"},
        UnreadableProfile{"LinkToDevZero",
                          [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); },
                          "not a regular file"},
        UnreadableProfile{"Fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
                          "not a regular file"},
        UnreadableProfile{"Folder", [](const std::string& path) { std::filesystem::create_directory(path); },
                          "folder"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Profile, MissingFileHasNoProblemAndAFileOfExactlyTheCapIsRead) {
    TempDir dir;
    const auto ini = dir.file("config.ini");
    EXPECT_EQ(profileFileProblem(ini), "");
    writeFile(ini, settingsOfSize(kMaxProfileBytes));
    EXPECT_EQ(profileFileProblem(ini), "");
    EXPECT_EQ(readProfileString(ini, "S", "k", "default"), "found");
}

}  // namespace
}  // namespace tellavine
