#include "platform/work_folder.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void makeOld(const fs::path& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(2));
}

TEST(WorkFolder, IsPrivateAndRemovedWithItsContents) {
    TempDir dir;
    std::string made;
    {
        WorkFolder folder(dir.folder() + "Temp/");  // the configured folder need not exist yet
        ASSERT_TRUE(folder.made()) << folder.error();
        made = folder.path();
        EXPECT_EQ(made.rfind(dir.folder() + "Temp/tellavine-", 0), 0u);
        EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all);
        testing::writeFile(made + "temp_d.m1v", "still");
    }
    EXPECT_FALSE(fs::exists(made));
}

TEST(WorkFolder, RemovesWhatDeadBuildsLeftButNoLinkNorALiveFolder) {
    TempDir dir;
    const fs::path temp = dir.path() / "Temp";
    fs::create_directories(temp / "tellavine-dead");
    testing::writeFile((temp / "tellavine-dead" / "menu_01.mpg").string(), "left over");
    makeOld(temp / "tellavine-dead");
    fs::create_directories(temp / "tellavine-young");  // between mkdtemp and its lock
    fs::create_directories(dir.path() / "victim");
    testing::writeFile((dir.path() / "victim" / "keep").string(), "mine");
    makeOld(dir.path() / "victim");
    fs::create_directory_symlink(dir.path() / "victim", temp / "tellavine-link");
    fs::create_directories(temp / "tellavine-live");
    makeOld(temp / "tellavine-live");
    const FolderLock live((temp / "tellavine-live").string());
    ASSERT_EQ(live.state(), FolderLock::State::Held);

    WorkFolder folder(temp.string() + "/");
    ASSERT_TRUE(folder.made());
    EXPECT_FALSE(fs::exists(temp / "tellavine-dead"));
    EXPECT_TRUE(fs::exists(temp / "tellavine-young"));
    EXPECT_TRUE(fs::exists(temp / "tellavine-live"));
    EXPECT_TRUE(fs::is_symlink(temp / "tellavine-link"));
    EXPECT_EQ(testing::readFile((dir.path() / "victim" / "keep").string()), "mine");
}

}  // namespace
}  // namespace tellavine
