#include "platform/file_replace.h"
#include "platform/profile.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace tellavine {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(FileReplace, LinksPermissionsAndFailuresAreRespected) {
    TempDir dir;
    // A project kept elsewhere and linked: the link stays, the content it names changes.
    fs::create_directories(dir.path() / "elsewhere");
    writeFile(dir.file("elsewhere/trip.ovp"), "old");
    fs::create_symlink(dir.file("elsewhere/trip.ovp"), dir.file("trip.ovp"));
    ::chmod(dir.file("elsewhere/trip.ovp").c_str(), 0600);
    ASSERT_EQ(replaceFileContent(dir.file("trip.ovp"), bytesOf("new")), 0);
    EXPECT_TRUE(fs::is_symlink(dir.file("trip.ovp")));
    EXPECT_EQ(readFile(dir.file("elsewhere/trip.ovp")), "new");
    struct stat status {};
    ASSERT_EQ(::stat(dir.file("elsewhere/trip.ovp").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);  // private stays private
    EXPECT_FALSE(fs::exists(dir.file("elsewhere/trip.ovp.saving")));

    // A missing folder: the reason comes back and nothing is left.
    EXPECT_EQ(replaceFileContent(dir.file("missing/trip.ovp"), bytesOf("x")), ENOENT);
    // A link left at the temporary name is not written through.
    writeFile(dir.file("precious"), "keep");
    fs::create_symlink(dir.file("precious"), dir.file("plain.ovp.saving"));
    EXPECT_NE(replaceFileContent(dir.file("plain.ovp"), bytesOf("x")), 0);
    EXPECT_EQ(readFile(dir.file("precious")), "keep");

    // A link to something that is not a file (a FIFO here; /dev/zero for root alike) is
    // refused, not renamed over.
    ASSERT_EQ(::mkfifo(dir.file("elsewhere/pipe").c_str(), 0600), 0);
    fs::create_symlink(dir.file("elsewhere/pipe"), dir.file("piped.ovp"));
    EXPECT_EQ(replaceFileContent(dir.file("piped.ovp"), bytesOf("x")), EINVAL);
    EXPECT_TRUE(fs::is_fifo(dir.file("elsewhere/pipe")));
    EXPECT_FALSE(fs::exists(dir.file("elsewhere/pipe.saving")));
    EXPECT_EQ(replaceFileContent(dir.file("elsewhere"), bytesOf("x")), EISDIR);
}

TEST(FileReplace, SeveralProfileKeysAreWrittenInOneReplacement) {
    TempDir dir;
    writeFile(dir.file("config.ini"), "; mine\r\n[GENERAL]\r\nPAL=0\r\n");
    const std::vector<ProfileEntry> entries{
        {"GENERAL", "PAL", "1"}, {"Window", "x", "5"}, {"GENERAL", "WaitTime", "4"}, {"window", "X", "7"}};
    ASSERT_TRUE(writeProfileStrings(dir.file("config.ini"), entries));
    EXPECT_EQ(readFile(dir.file("config.ini")), "; mine\r\n[GENERAL]\r\nPAL=1\r\nWaitTime=4\r\n[Window]\r\nx=7\r\n");
}

}  // namespace
}  // namespace tellavine
