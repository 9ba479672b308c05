// `tellavine-cli build` on projects with bad and hostile input: every case ends with a
// message naming the file, exit status 1, the earlier image in place and no partial
// output. (The temporary folder keeps what a failed build made, as it always does.)

#include "robustness/build_fixture.h"

#include <csignal>
#include <filesystem>

namespace tellavine::testing {
namespace {

class BadInputTest : public CliBuildTest {};

enum class Role { Photo, Music };
enum class Source { Missing, Empty, Truncated, Folder, Hostile };

// A project whose album has a good photo and one bad file (a second photo or its music).
struct BadFileCase {
    const char* name;
    Role role;
    Source source;
    const char* file;  // the file's name in photos/; for Hostile, the kind make_hostile.py writes
};
void PrintTo(const BadFileCase& c, std::ostream* out) { *out << c.name; }  // ctest's name for the row

class BadFile : public CliBuildTest, public ::testing::WithParamInterface<BadFileCase> {
protected:
    std::string makeBadFile(const BadFileCase& c) {
        const std::string path = photos + "/" + c.file;
        switch (c.source) {
            case Source::Missing: break;
            case Source::Empty: writeFile(path, ""); break;
            case Source::Truncated: {
                const auto whole = readFile(samplePhoto("dune.jpg"));
                writeFile(path, whole.substr(0, whole.size() / 4));
                break;
            }
            case Source::Folder: std::filesystem::create_directory(path); break;
            case Source::Hostile: return hostileFile(c.file);
        }
        return path;
    }
};

TEST_P(BadFile, IsRefusedByName) {
    const std::string bad = makeBadFile(GetParam());
    const auto project = GetParam().role == Role::Photo
                             ? writeProject({{"Album", {{samplePhoto("aqua.jpg")}, {bad}}}})
                             : writeProject({{"Album", {{samplePhoto("aqua.jpg")}}, bad}});
    expectRefusedNaming(build(project), bad, project);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, BadFile,
    ::testing::Values(BadFileCase{"MissingPhoto", Role::Photo, Source::Missing, "not-there.jpg"},
                      BadFileCase{"ZeroBytePhoto", Role::Photo, Source::Empty, "empty.jpg"},
                      BadFileCase{"TruncatedPhoto", Role::Photo, Source::Truncated, "truncated.jpg"},
                      BadFileCase{"MislabelledPhoto", Role::Photo, Source::Hostile, "text.jpg"},
                      BadFileCase{"HugePngHeader", Role::Photo, Source::Hostile, "huge_header.png"},
                      BadFileCase{"DecompressionBomb", Role::Photo, Source::Hostile, "bomb.png"},
                      BadFileCase{"PhotoThatIsAFolder", Role::Photo, Source::Folder, "folder.jpg"},
                      BadFileCase{"MusicThatIsNotMp3", Role::Music, Source::Hostile, "not_mp3.mp3"},
                      BadFileCase{"CompressedWavMusic", Role::Music, Source::Hostile, "alaw.wav"}),
    [](const ::testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });

// The template reader bounds every size and position, so a template with absurd sizes
// draws a (strange) menu within limits instead of failing or allocating without end.
TEST_F(BadInputTest, TemplateWithAbsurdSizesIsBoundedAndStillMakesAReadableDisc) {
    const std::string data = std::string(TELLAVINE_BINARY_DIR) + "/bin/template/";
    const std::string folder = dir.file("templates");
    std::filesystem::create_directories(folder);
    std::filesystem::copy(data + "classic", folder + "/classic", std::filesystem::copy_options::recursive);
    std::string ini = readFile(data + "classic.ini");
    for (const char* key : {"frame_cx=", "image_cx=", "Text_cx=", "Bkground_image_cx="}) {
        const auto at = ini.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        ini.replace(at, ini.find('\n', at) - at, std::string(key) + "2000000000");
    }
    const auto items = ini.find("image_cy=");
    ini.replace(items, ini.find('\n', items) - items, "image_cy=-70000");
    const std::string templatePath = folder + "/classic.ini";
    writeFile(templatePath, ini);
    const auto project = writeProject({{"Album", {{samplePhoto("aqua.jpg")}}}}, templatePath);
    const auto built = build(project);
    ASSERT_EQ(built.exitStatus, 0) << built.output;
    const auto inspected = buildWith({"inspect", cuePath});
    EXPECT_EQ(inspected.exitStatus, 0) << inspected.output;
    EXPECT_EQ(filesBelow(out), (std::vector<std::string>{"disc.bin", "disc.cue"}));
}

TEST_F(BadInputTest, PhotoDeletedWhileTheBuildRunsIsRefusedByName) {
    std::vector<SlideSpec> slides;
    for (const char* sample : {"aqua.jpg", "garden.jpg", "storm.jpg", "wood.jpg", "rain_drops.jpg", "fresh_flower.jpg"})
        slides.push_back({samplePhoto(sample)});
    const std::string doomed = slides.back().path;
    const auto project = writeProject({{"Album", slides}});
    RunOptions options;
    options.trigger = OutputTrigger{"Encoding album photos", [&](int) { std::filesystem::remove(doomed); }};
    const auto result = build(project, options);
    EXPECT_TRUE(result.triggered);
    expectRefusedNaming(result, doomed, project);
}

TEST_F(BadInputTest, PathsWithSpacesAndNonAsciiLettersBuildAndFailByTheirNames) {
    const auto photo = samplePhoto("aqua.jpg", "Fotos été/mein Bild – Küste.jpg");
    cuePath = dir.file("Ausgabe ñ/disc 1.cue");
    binPath = dir.file("Ausgabe ñ/disc 1.bin");
    std::filesystem::create_directories(dir.file("Ausgabe ñ"));
    const auto project = writeProject({{"Ölgemälde & Co", {{photo, "Küste"}}}}, {}, "Projekt ä.ovp");
    const auto built = build(project);
    ASSERT_EQ(built.exitStatus, 0) << built.output;
    EXPECT_NE(built.output.find(cuePath), std::string::npos);
    EXPECT_EQ(readFile(cuePath).substr(0, 26), "FILE \"disc 1.bin\" BINARY\r\n");
    const auto inspected = buildWith({"inspect", cuePath});
    EXPECT_EQ(inspected.exitStatus, 0) << inspected.output;
    EXPECT_EQ(filesBelow(dir.file("Ausgabe ñ")), (std::vector<std::string>{"disc 1.bin", "disc 1.cue"}));

    const auto missing = photos + "/Fotos été/fehlt ß.jpg";
    const auto refused = writeProject({{"Album", {{photo}, {missing}}}}, {}, "zwei ö.ovp");
    const std::string imageBefore = readFile(binPath);
    const auto result = build(refused);
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    EXPECT_NE(result.output.find(missing), std::string::npos) << result.output;
    EXPECT_EQ(readFile(binPath), imageBefore);
}

}  // namespace
}  // namespace tellavine::testing
