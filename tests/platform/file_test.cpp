#include "platform/file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>

namespace tellavine {
namespace {

// A full disk: buffered bytes fail only when they are flushed by the close.
TEST(File, CloseReportsAFlushThatFails) {
    File file = File::open("/dev/full", "wb");
    ASSERT_TRUE(file);
    ASSERT_GE(std::fputs("lost", file.get()), 0);  // only buffered so far
    EXPECT_FALSE(file.close());
    EXPECT_FALSE(file);
}

// A writer that did not look at a failed write still learns of it at the close, though
// nothing is left to flush then.
TEST(File, CloseReportsAnEarlierFailedWrite) {
    File file = File::open("/dev/full", "wb");
    ASSERT_TRUE(file);
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::fputs("lost", file.get());
    EXPECT_FALSE(file.close());
}

TEST(File, MovesHandOverTheStreamAndItsBuffer) {
    testing::TempDir dir;
    File first = File::open(dir.file("first"), "wb");
    ASSERT_TRUE(first.setBuffer(64 * 1024));
    std::fputs("first", first.get());
    File moved(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_TRUE(first.close());  // nothing open: nothing to fail
    std::fputs(" and more", moved.get());

    // Assigning over an open stream closes it, writing out what it buffered.
    File second = File::open(dir.file("second"), "wb");
    std::fputs("second", second.get());
    moved = std::move(second);
    EXPECT_EQ(testing::readFile(dir.file("first")), "first and more");
    EXPECT_TRUE(moved.close());
    EXPECT_EQ(testing::readFile(dir.file("second")), "second");
}

TEST(File, OpenWithFlagsKeepsNoFollowAndCreatesWithThePermissionsGiven) {
    testing::TempDir dir;
    testing::writeFile(dir.file("target"), "kept");
    std::filesystem::create_symlink(dir.file("target"), dir.file("link"));
    errno = 0;
    EXPECT_FALSE(File::openWithFlags(dir.file("link"), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0666, "wb"));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(testing::readFile(dir.file("target")), "kept");

    File created = File::openWithFlags(dir.file("new"), O_RDWR | O_CREAT | O_TRUNC, 0600, "w+b");
    ASSERT_TRUE(created);
    EXPECT_EQ(::fcntl(::fileno(created.get()), F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
    EXPECT_TRUE(created.syncToDisk());
    EXPECT_TRUE(created.close());
    const auto permissions = std::filesystem::status(dir.file("new")).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace tellavine
