// `tellavine-cli build` and `burn` under faults: a disc that fills while the BIN is
// written, folders that cannot be written, an interrupt in every stage, and a recorder
// whose WRITE fails half-way. Nothing is reported as success, the earlier image stays,
// and the project file and settings are not touched.

#include "robustness/build_fixture.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace tellavine::testing {
namespace {

class FaultTest : public CliBuildTest {
protected:
    std::string twoPhotoProject() {
        return writeProject({{"Album", {{samplePhoto("aqua.jpg")}, {samplePhoto("garden.jpg")}}}});
    }
    // A photo carrying 24 MB of comment segments: it decodes as fast as the sample, but
    // its copy on the disc makes writing the image last long enough to interrupt.
    std::string heavyPhotoProject() {
        std::string photo = readFile(samplePhoto("aqua.jpg"));
        const std::string segment = std::string("\xFF\xFE\xFF\xFF", 4) + std::string(0xFFFD, 'c');
        std::string padding;
        for (int i = 0; i < 384; ++i) padding += segment;
        photo.insert(2, padding);
        writeFile(photos + "/heavy.jpg", photo);
        return writeProject({{"Album", {{photos + "/heavy.jpg"}, {samplePhoto("garden.jpg")}}}});
    }
    static OutputTrigger interruptWhen(const std::string& text) {
        return {text, [](int pid) { ::kill(pid, SIGINT); }};
    }
};

TEST_F(FaultTest, DiscFullWhileWritingTheBinIsReportedAndLeavesTheEarlierImage) {
    const auto project = twoPhotoProject();
    RunOptions options;
    options.fileSizeLimit = 1024 * 1024;  // above every temporary file, below the image
    const auto result = build(project, options);
    expectRefusedNaming(result, binPath, project);
    EXPECT_NE(result.output.find("File too large"), std::string::npos) << result.output;
}

TEST_F(FaultTest, UnwritableOutputAndTemporaryFoldersAreNamed) {
    const auto project = twoPhotoProject();
    RunOptions options;
    options.obeyFolderPermissions = true;

    ::chmod(out.c_str(), 0555);
    const auto refusedOutput = build(project, options);
    ::chmod(out.c_str(), 0755);
    expectRefusedNaming(refusedOutput, binPath, project);

    const std::string lockedTemp = dir.file("locked");
    std::filesystem::create_directory(lockedTemp);
    ::chmod(lockedTemp.c_str(), 0555);
    auto arguments = buildArguments(project);
    arguments.back() = lockedTemp;
    const auto refusedTemp = buildWith(arguments, options);
    ::chmod(lockedTemp.c_str(), 0755);
    expectRefusedNaming(refusedTemp, lockedTemp, project);
    EXPECT_TRUE(filesBelow(lockedTemp).empty());
}

TEST_F(FaultTest, InterruptInEveryStageCancelsTheBuild) {
    const auto project = heavyPhotoProject();
    for (const char* stage : {"Encoding disc menu", "Encoding album photos", "Writing data to disc image file"}) {
        RunOptions options;
        options.trigger = interruptWhen(stage);
        const auto result = build(project, options);
        ASSERT_TRUE(result.triggered) << stage << "\n" << result.output;
        expectRefusedNaming(result, "cancelled", project);
        EXPECT_EQ(result.output.find("successfully written"), std::string::npos) << stage;
    }
}

TEST_F(FaultTest, RecorderWriteFailingHalfWayEndsTheBurnAsAFailure) {
    const auto project = twoPhotoProject();
    const std::string disc = dir.file("recorder.bin");
    const auto result = buildWith({"burn", project, "-d", "emulated:" + disc + "?failwrite=20", "--temp", temp});
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    EXPECT_EQ(result.output.find("Congratulations"), std::string::npos) << result.output;
    // The first line as it always was, then the drive's reason.
    EXPECT_NE(result.output.find("Error message :\nError while writing cd\n"
                                 "The drive reported: medium error, write error (sense 3/0C/00)."),
              std::string::npos)
        << result.output;
    expectEarlierImageUntouched();
    EXPECT_EQ(readFile(settingsPath()), settingsBefore);

    // The same burn without the failure makes a disc, and an interrupt while burning stops it.
    const auto burnt = buildWith({"burn", project, "-d", "emulated:" + dir.file("good.bin"), "--temp", temp});
    EXPECT_EQ(burnt.exitStatus, 0) << burnt.output;
    RunOptions options;
    options.trigger = interruptWhen("Writing CD");
    const auto cancelled =
        buildWith({"burn", project, "-d", "emulated:" + dir.file("cancelled.bin"), "--temp", temp}, options);
    ASSERT_TRUE(cancelled.triggered) << cancelled.output;
    EXPECT_EQ(cancelled.exitStatus, 1) << cancelled.output;
    EXPECT_NE(cancelled.output.find("cancelled"), std::string::npos) << cancelled.output;
}

}  // namespace
}  // namespace tellavine::testing
