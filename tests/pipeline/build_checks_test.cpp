// The refusals made before any encoding work: each names what to change.
#include "pipeline/build_checks.h"
#include "support/recording_prompt.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

struct CheckRig {
    CheckRig() {
        project.setItemsPerPage(4);
        inputs.project = &project;
        inputs.services = prompt;
        job.itemsPerPage = 4;
    }
    bool check() { return checkProjectForBuild(job, inputs); }
    // One album of one photo shown for `playTime` seconds.
    void addAlbum(const std::string& name, int playTime) {
        const int album = project.addAlbum(name);
        project.addSlide(album, "/photos/a.jpg", "a.jpg", 0);
        project.album(album).playTime = playTime;
    }

    testing::RecordingServices prompt;
    Project project;
    BuildJob job;
    BuildInputs inputs;
};

TEST(BuildChecks, PlayTimesOutsideTheDialogsRangeAreRefusedNamingTheAlbum) {
    for (const int playTime : {-1, 121, 1'100'000}) {
        CheckRig rig;
        auto& prompt = rig.prompt;
        rig.addAlbum("Long nights", playTime);
        EXPECT_FALSE(rig.check()) << playTime;
        ASSERT_EQ(prompt->shown().size(), 1u);
        EXPECT_NE(prompt->shown()[0].find("\"Long nights\" shows each photo for " + std::to_string(playTime)),
                  std::string::npos)
            << prompt->shown()[0];
    }
    for (const int playTime : {0, 120}) {
        CheckRig rig;
        auto& prompt = rig.prompt;
        rig.addAlbum("Fine", playTime);
        EXPECT_TRUE(rig.check()) << playTime;
        EXPECT_TRUE(prompt->shown().empty());
    }
}

TEST(BuildChecks, MoreFoldersThanTheDiscsFileSystemCanNameAreRefusedBeforeEncoding) {
    // Each album's copies take a folder of their own, and the directory area is fixed.
    CheckRig rig;
    auto& prompt = rig.prompt;
    for (int k = 0; k < 60; ++k) rig.addAlbum("Album " + std::to_string(k), 5);
    rig.inputs.options.includePhotoFiles = true;
    EXPECT_FALSE(rig.check());
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_NE(prompt->shown()[0].find("too many files and folders"), std::string::npos) << prompt->shown()[0];

    // Without the copies the stills alone fit.
    rig.inputs.options.includePhotoFiles = false;
    rig.inputs.options.includeAudioFiles = false;
    EXPECT_TRUE(rig.check());
    EXPECT_EQ(prompt->shown().size(), 1u);
}

TEST(BuildChecks, MusicWithoutPhotosAndATemplateWithoutButtonsAreRefused) {
    {
        CheckRig rig;
        auto& prompt = rig.prompt;
        rig.project.addAlbum("Songs");
        rig.project.album(0).musicPath = "/music/song.mp3";
        EXPECT_FALSE(rig.check());
        ASSERT_EQ(prompt->shown().size(), 1u);
        EXPECT_NE(prompt->shown()[0].find("\"Songs\" has background music but no photos"), std::string::npos);
    }
    {
        CheckRig rig;
        auto& prompt = rig.prompt;
        rig.project.addAlbum("One");
        rig.job.itemsPerPage = 0;
        EXPECT_FALSE(rig.check());
        ASSERT_EQ(prompt->shown().size(), 1u);
        EXPECT_NE(prompt->shown()[0].find("has no album buttons"), std::string::npos);
    }
}

}  // namespace
}  // namespace tellavine
