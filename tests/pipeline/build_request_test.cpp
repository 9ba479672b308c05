// The one build request both front ends make: checks of the image name, the template's
// page size, and the settings the user's choices override.
#include "pipeline/build_request.h"

#include "recorder/disc_utilities.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::TempDir;

class BuildRequestTest : public ::testing::Test {
protected:
    BuildRequestTest() {
        std::filesystem::create_directories(program.path() / "template");
        testing::writeFile(program.file("template/classic.ini"), "[General]\nItems_count=4\n");
        testing::writeFile(program.file("template/none.ini"), "[General]\nItems_count=0\n");
        settings.tempDir = output.folder() + "Temp/";
        project.addSlide(project.addAlbum("One"), program.file("photo.jpg"), "photo.jpg", 0);
    }
    BuildRequest make(const BuildOverrides& overrides) {
        return makeBuildRequest(settings, project, overrides, program.folder(), services);
    }
    BuildOverrides image(const std::string& name) {
        BuildOverrides overrides;
        overrides.imagePath = output.file(name);
        return overrides;
    }

    TempDir program, output;
    testing::RecordingServices services;
    AppSettings settings;
    Project project;
};

struct ImageName {
    const char* typed;  // relative to the output folder; "" is typed as empty
    const char* problem;  // empty when accepted; %s stands for the full name
};
void PrintTo(const ImageName& name, std::ostream* out) { *out << '"' << name.typed << '"'; }  // ctest's name

class ImageNames : public BuildRequestTest, public ::testing::WithParamInterface<ImageName> {};

TEST_P(ImageNames, AreCheckedTheSameForBothFrontEnds) {
    const ImageName name = GetParam();
    BuildOverrides overrides = image(name.typed);
    if (!*name.typed) overrides.imagePath.clear();
    const BuildRequest request = make(overrides);
    std::string expected = name.problem;
    if (const auto at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, overrides.imagePath);
    EXPECT_EQ(request.error, expected);
}

INSTANTIATE_TEST_SUITE_P(
    BuildRequest, ImageNames,
    ::testing::Values(ImageName{"", "Please input the image file name."},
                      ImageName{"disc.bin", "The image file name is invalid, it must have a .cue extension."},
                      ImageName{".cue", "The image file name is invalid, it must have a .cue extension."},
                      ImageName{"folder/", "The image file name is invalid, it must have a .cue extension."},
                      ImageName{"missing/disc.cue", "The folder of %s does not exist."},
                      ImageName{"Disc.CUE", ""}, ImageName{"disc.cue", ""}));

TEST_F(BuildRequestTest, AProjectWithoutAPhotoIsRefusedBeforeAnythingIsMade) {
    struct Case {
        int albums;
        const char* problem;
    };
    for (const Case& each :
         {Case{0, "The project has no album. Please add an album with photos before making the disc."},
          Case{2, "No album of the project has a photo. Please add photos to an album before making the disc."}}) {
        project.clear();
        for (int a = 0; a < each.albums; ++a) project.addAlbum("Empty " + std::to_string(a));
        for (const OutputTarget target : {OutputTarget::ImageFile, OutputTarget::Recorder}) {
            BuildOverrides overrides = image("disc.cue");
            overrides.outputTarget = target;
            EXPECT_EQ(make(overrides).error, each.problem);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(settings.tempDir));
}

TEST_F(BuildRequestTest, TheBinFollowsTheCueAndTheTemporaryFolderIsMade) {
    std::filesystem::create_directories(output.path() / "a.cue.dir");
    const BuildRequest request = make(image("a.cue.dir/Disc.CUE"));
    ASSERT_TRUE(request.ok()) << request.error;
    EXPECT_EQ(request.cuePath, output.file("a.cue.dir/Disc.CUE"));
    EXPECT_EQ(request.binPath, output.file("a.cue.dir/Disc.bin"));
    EXPECT_TRUE(std::filesystem::is_directory(settings.tempDir));
    EXPECT_EQ(request.inputs.tempDir, settings.tempDir);
    const auto job = request.makeJob();
    EXPECT_EQ(job->cuePath, request.cuePath);
    EXPECT_EQ(job->albumCount, 1);
}

TEST_F(BuildRequestTest, ATemplateWithoutAlbumItemsIsBuiltWithTheClassicOneAndSaysSo) {
    BuildOverrides overrides = image("disc.cue");
    overrides.templatePath = "template\\none.ini";
    const BuildRequest request = make(overrides);
    ASSERT_TRUE(request.ok()) << request.error;
    EXPECT_EQ(project.itemsPerPage(), 4);
    EXPECT_EQ(request.makeJob()->itemsPerPage, 4);
    ASSERT_EQ(request.notices.size(), 1u);
    EXPECT_NE(request.notices[0].find("classic template is used instead"), std::string::npos);

    overrides.templatePath = "template\\missing.ini";
    EXPECT_EQ(make(overrides).error, "There is no menu template template\\missing.ini in " + program.folder() + ".");
}

TEST_F(BuildRequestTest, ChoicesOverrideTheSettingsAndATestRunGoesToTheRecorder) {
    settings.pal = false;
    settings.tvCrop = 5;
    settings.discName = "From settings";
    settings.burnSpeed = 2;
    settings.fullRangeStills = true;
    BuildOverrides overrides = image("disc.cue");
    overrides.tvStandard = TvStandard::PAL;
    overrides.volumeLabel = std::string(300, 'x');
    overrides.includeAudioFiles = false;
    overrides.speedIndex = 5;
    const BuildRequest request = make(overrides);
    const DiscOptions& options = request.inputs.options;
    EXPECT_EQ(options.tvStandard, TvStandard::PAL);
    EXPECT_EQ(options.tvCropping, 5);
    EXPECT_EQ(options.volumeLabel.size(), kMaxTextLength);
    EXPECT_FALSE(options.includeAudioFiles);
    EXPECT_TRUE(options.includePhotoFiles);
    EXPECT_EQ(options.stillLevels, StillLevels::Full) << "what only config.ini sets reaches the build";
    EXPECT_EQ(request.recording.speedIndex, 5);
    EXPECT_EQ(request.inputs.services.prompt, services.services().prompt);

    BuildOverrides test;
    test.simulate = true;  // no image name needed: a test run always burns
    const BuildRequest simulated = make(test);
    ASSERT_TRUE(simulated.ok()) << simulated.error;
    EXPECT_EQ(simulated.inputs.options.outputTarget, OutputTarget::Recorder);
    EXPECT_TRUE(simulated.recording.simulate);
}

TEST(DiscRoom, TheLeadInComesOnTopOfTheEstimate) {
    EXPECT_TRUE(discHasRoom(1000, 850));
    EXPECT_FALSE(discHasRoom(1000, 851));
}

}  // namespace
}  // namespace tellavine
