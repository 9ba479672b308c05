// Two real builds at once in one process: nothing of a build lives in process-wide
// state, so each gets its own temporary folder, messages and image.
#include "cli/disc_image.h"
#include "pipeline/build_request.h"
#include "pipeline/disc_pipeline.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tellavine {
namespace {

const std::string kPhotos = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/";
const std::string kProgramDir = std::string(TELLAVINE_BINARY_DIR) + "/bin/";

struct OneBuild {
    OneBuild(const testing::TempDir& dir, const std::string& name, TvStandard standard, int albums)
        : services(dir.file(name + ".log")) {
        for (int a = 0; a < albums; ++a) {
            const int album = project.addAlbum(name + " " + std::to_string(a + 1));
            project.addSlide(album, kPhotos + "aqua.jpg", "aqua.jpg", 0);
        }
        settings.tempDir = dir.folder() + name + "-temp/";
        BuildOverrides overrides;
        overrides.tvStandard = standard;
        overrides.volumeLabel = name;
        overrides.includePhotoFiles = false;
        overrides.includeAudioFiles = false;
        overrides.imagePath = dir.file(name + ".cue");
        request = makeBuildRequest(settings, project, overrides, kProgramDir, services);
        job = request.makeJob();
    }

    testing::RecordingServices services;
    AppSettings settings;
    Project project;
    BuildRequest request;
    std::shared_ptr<BuildJob> job;
    int result = 1;
};

TEST(ParallelBuilds, TwoDiscsAtOnceWithTheirOwnTemporaryFoldersAreBothRight) {
    testing::TempDir dir;
    OneBuild pal(dir, "holiday", TvStandard::PAL, 2);
    OneBuild ntsc(dir, "garden", TvStandard::NTSC, 1);
    ASSERT_TRUE(pal.request.ok()) << pal.request.error;
    ASSERT_TRUE(ntsc.request.ok()) << ntsc.request.error;

    std::vector<std::thread> threads;
    for (OneBuild* build : {&pal, &ntsc}) {
        threads.push_back(startBuildThread(build->job, build->request.inputs, makeDiscPipeline(),
                                           [build](int result) { build->result = result; }));
    }
    for (auto& thread : threads) thread.join();

    for (OneBuild* build : {&pal, &ntsc}) {
        EXPECT_EQ(build->result, 0) << build->request.cuePath;
        EXPECT_TRUE(build->services->shown().empty()) << build->services->shown().front();
        cli::DiscImage image;
        std::string error;
        ASSERT_TRUE(image.open(build->request.cuePath, error) && image.readFileSystem(error) &&
                    image.readControlFiles(error))
            << error;
        EXPECT_EQ(image.volumeId(), build->request.inputs.options.volumeLabel.substr(0, 32));
        // The menu's list and one per photo.
        EXPECT_EQ(image.info().maxLid, 1 + build->project.totalPhotoCount()) << build->request.cuePath;
        const bool palDisc = build->request.inputs.options.tvStandard == TvStandard::PAL;
        ASSERT_FALSE(image.info().palFlags.empty());
        EXPECT_EQ(image.info().palFlags[0], palDisc);
        // No working folder is left behind.
        EXPECT_TRUE(std::filesystem::is_empty(build->settings.tempDir)) << build->settings.tempDir;
    }
    // Each log tells of its own build only.
    EXPECT_NE(testing::readFile(dir.file("holiday.log")).find("aqua.jpg"), std::string::npos);
    EXPECT_EQ(testing::readFile(dir.file("holiday.log")).find("garden"), std::string::npos);
}

}  // namespace
}  // namespace tellavine
