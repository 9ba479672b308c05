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

TEST(CliOptions, OptionsTakeTheirValueAfterAnEqualsSign) {
    const auto parsed = parseCommandLine({"build", "Holiday", "--output=h.cue", "--crop=7", "--aspect=none",
                                          "--label=Sea and sand", "--sort=date", "--play-time=9", "--captions=name"});
    ASSERT_EQ(parsed.kind, Kind::Build) << parsed.error;
    EXPECT_EQ(parsed.build.cuePath, "h.cue");
    EXPECT_EQ(parsed.build.crop, 7);
    EXPECT_EQ(parsed.build.aspect, 0);
    EXPECT_EQ(parsed.build.label, "Sea and sand");
    EXPECT_TRUE(parsed.build.folder.given);
    EXPECT_EQ(parsed.build.folder.options.order, PhotoOrder::DateTaken);
    EXPECT_EQ(parsed.build.folder.options.playTime, 9);
    EXPECT_EQ(parsed.build.folder.options.captions, CaptionSource::FileName);
}

TEST(CliOptions, LanguageStandsBeforeOrAfterTheCommand) {
    const auto before = parseCommandLine({"--language", "de", "show", "a.ovp"});
    ASSERT_EQ(before.kind, Kind::Show) << before.error;
    EXPECT_EQ(before.language, "de");
    EXPECT_EQ(before.show.projectPath, "a.ovp");
    const auto after = parseCommandLine({"build", "a.ovp", "-o", "d.cue", "--language=de"});
    ASSERT_EQ(after.kind, Kind::Build) << after.error;
    EXPECT_EQ(after.language, "de");
    EXPECT_EQ(after.build.cuePath, "d.cue");
    EXPECT_EQ(parseCommandLine({"--language", "de", "--help"}).kind, Kind::Help);
    EXPECT_EQ(parseCommandLine({"show", "a.ovp"}).language, "");
    const auto noValue = parseCommandLine({"show", "a.ovp", "--language"});
    EXPECT_EQ(noValue.kind, Kind::Usage);
    EXPECT_NE(noValue.error.find("--language"), std::string::npos);
    EXPECT_NE(usageText().find("--language"), std::string::npos);
}

TEST(CliOptions, NewShowAndImport) {
    const auto created = parseCommandLine({"new", "Pictures/Holiday", "-o", "h.ovp", "--template", "template/modern.ini",
                                           "--sort", "name", "--yes"});
    ASSERT_EQ(created.kind, Kind::New) << created.error;
    EXPECT_EQ(created.create.folderPath, "Pictures/Holiday");
    EXPECT_EQ(created.create.projectPath, "h.ovp");
    EXPECT_EQ(created.create.templatePath, "template/modern.ini");
    EXPECT_TRUE(created.create.folder.given && created.create.yes);
    EXPECT_FALSE(parseCommandLine({"new", "D", "-o", "h.ovp"}).create.folder.given);
    const auto shown = parseCommandLine({"show", "h.ovp", "--json"});
    ASSERT_EQ(shown.kind, Kind::Show) << shown.error;
    EXPECT_TRUE(shown.show.json);
    const auto imported = parseCommandLine({"import", "h.json", "--output=h.ovp"});
    ASSERT_EQ(imported.kind, Kind::Import) << imported.error;
    EXPECT_EQ(imported.import.jsonPath, "h.json");
    EXPECT_EQ(imported.import.projectPath, "h.ovp");
}

struct BadUsageCase {
    std::vector<std::string> args;
    std::string named;  // what the message must name
};

class BadUsage : public ::testing::TestWithParam<BadUsageCase> {};

TEST_P(BadUsage, IsReportedNamingTheCulprit) {
    const auto parsed = parseCommandLine(GetParam().args);
    EXPECT_EQ(parsed.kind, Kind::Usage);
    EXPECT_NE(parsed.error.find(GetParam().named), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    CliOptions, BadUsage,
    ::testing::Values(BadUsageCase{{}, "no command"}, BadUsageCase{{"frobnicate"}, "frobnicate"},
                      BadUsageCase{{"build", "a.ovp"}, "--output"}, BadUsageCase{{"build", "-o", "a.cue"}, "PROJECT"},
                      BadUsageCase{{"build", "a.ovp", "-o"}, "-o"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--crop", "21"}, "--crop"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--crop=5x"}, "--crop"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--aspect", "5:4"}, "5:4"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--bogus"}, "--bogus"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--label"}, "--label"},
                      BadUsageCase{{"build", "a.ovp", "-o", "a.cue", "--play-time", "121"}, "--play-time"},
                      BadUsageCase{{"new", "D", "-o", "a.ovp", "--sort", "size"}, "--sort"},
                      BadUsageCase{{"new", "D", "-o", "a.ovp", "--captions=all"}, "--captions"},
                      BadUsageCase{{"import", "a.json"}, "--output"}, BadUsageCase{{"show"}, "PROJECT"},
                      BadUsageCase{{"inspect"}, "DISC"},
                      BadUsageCase{{"inspect", "a.cue", "b.cue"}, "b.cue"},
                      BadUsageCase{{"burn", "a.ovp", "--speed", "7"}, "--speed"},
                      BadUsageCase{{"burn", "a.ovp", "-o", "x.cue"}, "-o"},  // images are built, not burned
                      BadUsageCase{{"eject", "--full"}, "--full"}));

TEST(CliOptions, HelpIsPerCommand) {
    const auto general = parseCommandLine({"--help"});
    ASSERT_EQ(general.kind, Kind::Help);
    for (const char* command : {"new", "build", "burn", "show", "import", "inspect", "erase"}) {
        EXPECT_NE(general.helpText.find(command), std::string::npos) << command;
    }
    const auto build = parseCommandLine({"build", "--help"});
    ASSERT_EQ(build.kind, Kind::Help);
    EXPECT_NE(build.helpText.find("--crop"), std::string::npos) << build.helpText;
    EXPECT_NE(build.helpText.find("--sort"), std::string::npos);
    EXPECT_EQ(build.helpText.find("--speed"), std::string::npos) << "burn's options are not build's";
    EXPECT_EQ(build.helpText.find("inspect"), std::string::npos) << "no other command";
    const auto inspect = parseCommandLine({"inspect", "x.cue", "-h"});
    EXPECT_NE(inspect.helpText.find("--extract"), std::string::npos) << inspect.helpText;
    EXPECT_EQ(inspect.helpText.find("--crop"), std::string::npos);
    EXPECT_EQ(parseCommandLine({"--version"}).kind, Kind::Version);
    EXPECT_TRUE(parseCommandLine({"inspect", "a.cue", "--json"}).inspect.json);
}

}  // namespace
}  // namespace tellavine::cli
