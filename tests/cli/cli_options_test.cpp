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

struct KindCase {
    std::vector<std::string> args;
    Kind kind;
};
void PrintTo(const KindCase& c, std::ostream* out) {
    for (const auto& arg : c.args) *out << arg << ' ';
}

class CommandKind : public ::testing::TestWithParam<KindCase> {};

// Bad usage is reported with a reason.
TEST_P(CommandKind, IsRecognised) {
    const auto parsed = parseCommandLine(GetParam().args);
    EXPECT_EQ(parsed.kind, GetParam().kind);
    if (GetParam().kind == Kind::Usage) {
        EXPECT_FALSE(parsed.error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    CliOptions, CommandKind,
    ::testing::Values(KindCase{{}, Kind::Usage}, KindCase{{"frobnicate"}, Kind::Usage},
                      KindCase{{"build", "a.ovp"}, Kind::Usage}, KindCase{{"build", "-o", "a.cue"}, Kind::Usage},
                      KindCase{{"build", "a.ovp", "-o"}, Kind::Usage},
                      KindCase{{"build", "a.ovp", "-o", "a.cue", "--crop", "21"}, Kind::Usage},
                      KindCase{{"build", "a.ovp", "-o", "a.cue", "--crop", "5x"}, Kind::Usage},
                      KindCase{{"build", "a.ovp", "-o", "a.cue", "--aspect", "5:4"}, Kind::Usage},
                      KindCase{{"build", "a.ovp", "-o", "a.cue", "--bogus"}, Kind::Usage},
                      KindCase{{"inspect"}, Kind::Usage}, KindCase{{"inspect", "a.cue", "b.cue"}, Kind::Usage},
                      KindCase{{"burn", "a.ovp", "--speed", "7"}, Kind::Usage},
                      // Images are built, not burned.
                      KindCase{{"burn", "a.ovp", "-o", "x.cue"}, Kind::Usage},
                      KindCase{{"eject", "--full"}, Kind::Usage}, KindCase{{"build", "--help"}, Kind::Help},
                      KindCase{{"--version"}, Kind::Version}));

TEST(CliOptions, InspectTakesJson) { EXPECT_TRUE(parseCommandLine({"inspect", "a.cue", "--json"}).inspect.json); }

}  // namespace
}  // namespace tellavine::cli
