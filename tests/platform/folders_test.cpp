#include "platform/folders.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::TempDir;

struct FolderFixture {
    TempDir root;
    std::string exeDir = root.folder() + "bin/";
    std::string shareDir = root.folder() + "share/tellavine/";
    std::string config = root.folder() + "config/";
    std::string state = root.folder() + "state/";
    std::string cache = root.folder() + "cache/";

    FolderFixture() {
        std::filesystem::create_directories(exeDir);
        std::filesystem::create_directories(shareDir + "template");
    }
    FolderEnvironment environment(std::function<bool(const std::string&)> writable) const {
        return {exeDir, shareDir, config, state, cache, std::move(writable)};
    }
};

TEST(Folders, BuildTreeWithDataIsTheProgramDirectoryAndKeepsSettings) {
    FolderFixture f;
    std::filesystem::create_directories(f.exeDir + "template");
    const auto folders = resolveAppFolders(f.environment([](const std::string&) { return true; }));
    EXPECT_EQ(folders.programDir, f.exeDir);
    EXPECT_EQ(folders.settingsFile(), f.exeDir + "config.ini");
    EXPECT_EQ(folders.runLogFile(), f.exeDir + "orx_log.txt");
    EXPECT_EQ(folders.defaultTempDir, f.exeDir + "Temp/");
    EXPECT_EQ(folders.cacheDir, f.exeDir + "Temp/");
}

void expectXdgFolders(const AppFolders& folders, const FolderFixture& f) {
    EXPECT_EQ(folders.settingsFile(), f.config + "tellavine/config.ini");
    EXPECT_EQ(folders.runLogFile(), f.state + "tellavine/orx_log.txt");
    EXPECT_EQ(folders.cacheDir, f.cache + "tellavine/");
    EXPECT_EQ(folders.defaultTempDir, f.cache + "tellavine/Temp/");
    EXPECT_TRUE(std::filesystem::is_directory(f.config + "tellavine"));
    EXPECT_TRUE(std::filesystem::is_directory(f.state + "tellavine"));
}

// An installation never writes into its prefix, even one its user may write to (a
// prefix in the home folder, or root running the program).
TEST(Folders, InstalledProgramKeepsEverythingInTheXdgFolders) {
    for (const bool prefixWritable : {false, true}) {
        SCOPED_TRACE(prefixWritable ? "writable prefix" : "read-only prefix");
        FolderFixture f;  // no data beside the executable: the installed share folder holds it
        const auto folders =
            resolveAppFolders(f.environment([prefixWritable](const std::string&) { return prefixWritable; }));
        EXPECT_EQ(folders.programDir, f.shareDir);
        expectXdgFolders(folders, f);
    }
}

TEST(Folders, ReadOnlyBuildTreeFallsBackToXdgFolders) {
    FolderFixture f;
    std::filesystem::create_directories(f.exeDir + "template");
    const auto folders = resolveAppFolders(f.environment([](const std::string&) { return false; }));
    EXPECT_EQ(folders.programDir, f.exeDir);
    expectXdgFolders(folders, f);
}

TEST(Folders, RealWritabilityCheckSeesAReadOnlyFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere; covered by the injected check";
    FolderFixture f;
    auto environment = currentFolderEnvironment();
    environment.executableDir = f.exeDir;
    environment.installedDataDir = f.shareDir;
    environment.xdgConfigHome = f.config;
    environment.xdgStateHome = f.state;
    environment.xdgCacheHome = f.cache;
    std::filesystem::create_directories(f.exeDir + "template");
    std::filesystem::permissions(f.exeDir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto folders = resolveAppFolders(environment);
    std::filesystem::permissions(f.exeDir, std::filesystem::perms::owner_all);
    EXPECT_EQ(folders.settingsDir, f.config + "tellavine/");
}

TEST(Folders, TrailingSeparatorAndFolderCreation) {
    TempDir dir;
    EXPECT_EQ(withTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator(""), "");
    EXPECT_TRUE(makeSureFolderExists(dir.folder() + "x/y/z/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.folder() + "x/y/z"));
}

}  // namespace
}  // namespace tellavine
