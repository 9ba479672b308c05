#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tellavine::cli {
namespace {

using Kind = ParsedCommand::Kind;

TEST(CliOptions, BuildTakesEveryOption) {
    const auto parsed = parseCommandLine({"build", "trip.ovp", "-o", "out/disc.cue", "--pal", "--aspect", "16:9",
                                          "--crop", "0", "--label", "Trip", "--no-photo-files",
                                          "--no-audio-files", "--template", "template/modern.ini", "--temp",
                                          "/tmp/t", "--yes"});
    ASSERT_EQ(parsed.kind, Kind::Build) << parsed.error;
    const auto& b = parsed.build;
    EXPECT_EQ(b.projectPath, "trip.ovp");
    EXPECT_EQ(b.cuePath, "out/disc.cue");
    EXPECT_EQ(b.pal, true);
    EXPECT_EQ(b.aspect, 2);
    EXPECT_EQ(b.crop, 0);
    EXPECT_EQ(b.label, "Trip");
    EXPECT_TRUE(b.noPhotoFiles && b.noAudioFiles && b.yes);
    EXPECT_EQ(b.templatePath, "template/modern.ini");
    EXPECT_EQ(b.tempDir, "/tmp/t");
}

TEST(CliOptions, BurnTakesTheRecorderOptions) {
    const auto parsed = parseCommandLine({"burn", "a.ovp", "--device", "emulated:/tmp/d.bin", "--speed", "3",
                                          "--simulate", "--burn-proof", "--mode", "raw", "--yes"});
    ASSERT_EQ(parsed.kind, Kind::Burn) << parsed.error;
    EXPECT_EQ(parsed.build.device, "emulated:/tmp/d.bin");
    EXPECT_EQ(parsed.build.speedIndex, 3);
    EXPECT_TRUE(parsed.build.simulate);
    EXPECT_EQ(parsed.build.burnProof, true);
    EXPECT_EQ(parsed.build.writingMode, 2);
    EXPECT_EQ(parseCommandLine({"burn", "a.ovp", "--speed", "max"}).build.speedIndex, 6);
    EXPECT_EQ(parseCommandLine({"erase", "--device", "emulated:/x", "--full"}).device.fullErase, true);
}

TEST(CliOptions, OptionsNotGivenStayUnsetForTheSettings) {
    const auto parsed = parseCommandLine({"build", "a.ovp", "-o", "a.cue"});
    ASSERT_EQ(parsed.kind, Kind::Build);
    EXPECT_FALSE(parsed.build.pal.has_value());
    EXPECT_FALSE(parsed.build.aspect.has_value());
    EXPECT_FALSE(parsed.build.crop.has_value());
    EXPECT_FALSE(parsed.build.label.has_value());
}

using Args = std::vector<std::string>;
class BadUsage : public ::testing::TestWithParam<Args> {};

TEST_P(BadUsage, IsReportedWithAReason) {
    const auto parsed = parseCommandLine(GetParam());
    EXPECT_EQ(parsed.kind, Kind::Usage);
    EXPECT_FALSE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CliOptions, BadUsage,
    ::testing::Values(Args{}, Args{"frobnicate"}, Args{"build", "a.ovp"}, Args{"build", "-o", "a.cue"},
                      Args{"build", "a.ovp", "-o"}, Args{"build", "a.ovp", "-o", "a.cue", "--crop", "21"},
                      Args{"build", "a.ovp", "-o", "a.cue", "--crop", "5x"},
                      Args{"build", "a.ovp", "-o", "a.cue", "--aspect", "5:4"},
                      Args{"build", "a.ovp", "-o", "a.cue", "--bogus"}, Args{"inspect"},
                      Args{"inspect", "a.cue", "b.cue"}, Args{"burn", "a.ovp", "--speed", "7"},
                      Args{"burn", "a.ovp", "-o", "x.cue"},  // images are built, not burned
                      Args{"eject", "--full"}));

TEST(CliOptions, HelpVersionAndJson) {
    EXPECT_EQ(parseCommandLine({"build", "--help"}).kind, Kind::Help);
    EXPECT_EQ(parseCommandLine({"--version"}).kind, Kind::Version);
    EXPECT_TRUE(parseCommandLine({"inspect", "a.cue", "--json"}).inspect.json);
}

}  // namespace
}  // namespace tellavine::cli
