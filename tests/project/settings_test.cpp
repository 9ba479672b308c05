#include "project/settings.h"

#include "platform/profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

AppFolders foldersIn(const TempDir& dir) {
    return {.programDir = dir.folder(),
            .settingsDir = dir.folder(),
            .stateDir = dir.folder(),
            .cacheDir = dir.folder() + "Temp/",
            .defaultTempDir = dir.folder() + "Temp/"};
}

TEST(Settings, MissingFileGivesDefaultsAndIsWrittenBackComplete) {
    TempDir dir;
    const auto folders = foldersIn(dir);
    const AppSettings s = loadSettings(folders);
    const DiscOptions options = discOptionsFromSettings(s);
    EXPECT_EQ(options.tvStandard, TvStandard::NTSC);
    EXPECT_EQ(options.aspectCorrection, AspectCorrection::Aspect4x3);
    EXPECT_EQ(options.tvCropping, 5);
    EXPECT_EQ(options.speedIndex, 2);
    EXPECT_TRUE(options.includePhotoFiles);
    EXPECT_TRUE(options.includeAudioFiles);
    EXPECT_EQ(options.volumeLabel, "My Photo Slideshow");
    EXPECT_EQ(options.stillLevels, StillLevels::Studio);
    EXPECT_TRUE(s.logFile);
    EXPECT_EQ(s.tempDir, dir.folder() + "Temp/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.folder() + "Temp"));

    ASSERT_TRUE(saveSettings(s, folders));
    const std::string written = readFile(folders.settingsFile());
    EXPECT_EQ(written,
              "[GENERAL]\r\nrecorder=0\r\ndriver=0\r\nBurnSpeed=2\r\nbSimulate=1\r\nBurnProof=0\r\nPAL=0\r\n"
              "UseASPI=0\r\nbWritePhotoFile=1\r\nbWriteAudioFile=1\r\nbLogFile=1\r\nTempDir=" + dir.folder() +
              "Temp/\r\nDISC_NAME=My Photo Slideshow\r\nWaitTime=4\r\nnTVCrop=5\r\nnRatioCorrection=1\r\n"
              "[Window]\r\nbMaximized=1\r\nx=0\r\ny=0\r\nwidth=600\r\nheight=480\r\nListStyle=0\r\n"
              "SPLITTER_X=270\r\nSPLITTER_Y=180\r\nPLAYER_X=320\r\nPLAYER_Y=240\r\n");
}

TEST(Settings, OddValuesAreCorrected) {
    TempDir dir;
    const auto folders = foldersIn(dir);
    writeFile(folders.settingsFile(),
              "[GENERAL]\nPAL=1\nTempDir=" + dir.folder() + "work/tmp\nDISC_NAME=Our Trip\nWaitTime=7\n"
              "[Window]\nSPLITTER_X=0\nSPLITTER_Y=-3\nwidth=-5\nheight=-1\nx=-20\ny=15\nPLAYER_X=0\nbMaximized=0\n");
    const AppSettings s = loadSettings(folders);
    EXPECT_TRUE(s.pal);
    EXPECT_EQ(s.tempDir, dir.folder() + "work/tmp/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.folder() + "work/tmp"));
    EXPECT_EQ(s.discName, "Our Trip");
    EXPECT_EQ(s.waitTime, 7);
    EXPECT_EQ(s.window.splitterX, 270);
    EXPECT_EQ(s.window.splitterY, 180);
    EXPECT_EQ(s.window.width, 600);
    EXPECT_EQ(s.window.height, 480);
    EXPECT_EQ(s.window.x, 0);
    EXPECT_EQ(s.window.y, 15);
    EXPECT_EQ(s.window.playerX, 320);
    EXPECT_FALSE(s.window.maximized);

    writeFile(folders.settingsFile(), "[GENERAL]\nWaitTime=100000\n");
    EXPECT_EQ(loadSettings(folders).waitTime, 120);
    writeFile(folders.settingsFile(), "[GENERAL]\nWaitTime=-4\n");
    EXPECT_EQ(loadSettings(folders).waitTime, 0);
}

TEST(Settings, EmptyTempDirReadsAsTheDefault) {
    // Found by fuzzing: "TempDir=" made the build write into the current folder.
    TempDir dir;
    const auto folders = foldersIn(dir);
    writeFile(folders.settingsFile(), "[GENERAL]\nPAL=ERA\nTempDir=\n");
    const AppSettings s = loadSettings(folders);
    EXPECT_EQ(s.tempDir, folders.defaultTempDir);
    EXPECT_FALSE(s.pal);  // a value without digits reads as 0
}

TEST(Settings, SavingKeepsUnknownKeysAndRoundTrips) {
    TempDir dir;
    const auto folders = foldersIn(dir);
    writeFile(folders.settingsFile(), "[GENERAL]\nFutureKey=keep\n[Options]\nFullRangeStills=1\n"
                                      "[Update]\nUrl=https://updates.example/tellavine/\n");
    AppSettings s = loadSettings(folders);
    EXPECT_EQ(discOptionsFromSettings(s).stillLevels, StillLevels::Full);
    EXPECT_EQ(s.updateUrl, "https://updates.example/tellavine/");
    s.pal = true;
    s.discName = "Wedding";
    s.window.width = 1024;
    ASSERT_TRUE(saveSettings(s, folders));
    EXPECT_EQ(readProfileString(folders.settingsFile(), "GENERAL", "FutureKey", ""), "keep");
    const AppSettings again = loadSettings(folders);
    EXPECT_TRUE(again.pal);
    EXPECT_EQ(again.discName, "Wedding");
    EXPECT_EQ(again.window.width, 1024);
    EXPECT_TRUE(again.fullRangeStills) << "a key set by hand stays";
    EXPECT_EQ(again.updateUrl, "https://updates.example/tellavine/");
}

TEST(Settings, OptionsMoveAlbumsAtTheOldDefault) {
    TempDir dir;
    AppSettings s = loadSettings(foldersIn(dir));
    Project project;
    project.addAlbum("At default");
    project.addAlbum("Custom");
    project.setAlbumProperties(1, "Custom", 10, "");
    applyOptions(s, project, 1, dir.folder() + "other", 6, 0);
    EXPECT_EQ(s.tempDir, dir.folder() + "other/");
    EXPECT_EQ(s.driver, 1);
    EXPECT_EQ(s.waitTime, 6);
    EXPECT_EQ(project.album(0).playTime, 6);
    EXPECT_EQ(project.album(1).playTime, 10);
}

}  // namespace
}  // namespace tellavine
