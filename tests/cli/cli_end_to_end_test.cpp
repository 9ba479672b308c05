// tellavine-cli driven as a user drives it: projects built into images that are read
// back with our own reader and with independent tools (cd-info, ffprobe).
#include "cli/disc_image.h"
#include "platform/text.h"
#include "project/project_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

namespace tellavine {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const std::string kPhotos = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/";

struct CommandRun {
    int status = -1;
    std::string output;  // standard output and error together
};

CommandRun run(const std::string& command) {
    CommandRun result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) result.output += buffer.data();
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quote(const std::string& text) { return "'" + text + "'"; }

CommandRun cli(const std::string& arguments) { return run(quote(TELLAVINE_CLI) + " " + arguments); }

class EndToEnd : public ::testing::Test {
protected:
    std::string tone(const std::string& name, double seconds) {
        const std::string path = dir.file(name);
        run("sox -q -n -r 44100 -c 2 -b 16 " + quote(path) + " synth " + std::to_string(seconds) + " sine 523 gain -6");
        return path;
    }
    std::string saveAs(const Project& project, const std::string& name) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(saveProject(project, path));
        return path;
    }
    CommandRun build(const std::string& project, const std::string& extra) {
        return cli("build " + quote(project) + " -o " + quote(dir.file("disc.cue")) + " --temp " +
                   quote(dir.folder() + "work") + " " + extra);
    }
    cli::DiscImage readImage() {
        cli::DiscImage image;
        std::string error;
        EXPECT_TRUE(image.open(dir.file("disc.cue"), error) && image.readFileSystem(error) &&
                    image.readControlFiles(error))
            << error;
        return image;
    }

    TempDir dir;
};

TEST_F(EndToEnd, PalProjectWithCaptionsRotationsMusicAndAnEmptyAlbum) {
    Project project;
    MenuSettings menu = project.menu();
    menu.musicPath = tone("menu.wav", 6);
    project.setMenu(menu);
    const int first = project.addAlbum("Creatures");
    Slide* captioned = project.addSlide(first, kPhotos + "ladybird.jpg", "ladybird.jpg", 0);
    SlideCaption caption;
    caption.text = "Grüße aus dem Garten";
    project.setCaption(*captioned, caption);
    // Two more photos of the same name from other folders, one in other letter case.
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
    fs::copy_file(kPhotos + "aqua.jpg", dir.file("a/ladybird.jpg"));
    fs::copy_file(kPhotos + "storm.jpg", dir.file("b/LADYBIRD.JPG"));
    project.addSlide(first, dir.file("a/ladybird.jpg"), "ladybird.jpg", 90);
    project.addSlide(first, dir.file("b/LADYBIRD.JPG"), "LADYBIRD.JPG", 270);
    project.addAlbum("Nothing yet");
    const int music = project.addAlbum("With music");
    project.album(music).playTime = 3;
    project.album(music).musicPath = tone("album.wav", 4);
    project.addSlide(music, kPhotos + "dune.jpg", "dune.jpg", 0);
    project.addSlide(music, kPhotos + "wood.jpg", "wood.jpg", 0);
    const auto file = saveAs(project, "trip.ovp");

    const auto result = build(file, "--pal --aspect none --crop 0 --label 'Our Trip'");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("These albums have no photos"), std::string::npos);  // the warning names it
    EXPECT_NE(result.output.find("Nothing yet"), std::string::npos);

    const auto image = readImage();
    EXPECT_EQ(image.volumeId(), "Our Trip");
    EXPECT_TRUE(image.info().palFlags.at(0));
    // One menu page; the empty album's key does nothing.
    ASSERT_GE(image.lists().size(), 5u);
    EXPECT_EQ(image.lists()[0].selectionLids, (std::vector<int>{2, 0, 5}));
    for (const char* path : {"PHOTO FILES/CREATURES/LADYBIRD.JPG", "PHOTO FILES/CREATURES/LADYBIRD_1.JPG",
                             "PHOTO FILES/CREATURES/LADYBIRD_2.JPG", "AUDIO FILES/MENU.WAV",
                             "AUDIO FILES/WITH MUSIC/ALBUM.WAV"}) {
        EXPECT_NE(image.findFile(path), nullptr) << path << " is not among:\n" << [&] {
            std::string all;
            for (const auto& entry : image.files()) all += entry.path + "\n";
            return all;
        }();
    }
    // Segment content: PAL hi-res stills; the menu and the music album carry stereo audio.
    const auto segments = image.segments();
    ASSERT_EQ(segments.size(), 5u);
    EXPECT_EQ(segments[0].content, (6 << 2) | 2);
    EXPECT_EQ(segments[1].content, 6 << 2);
    EXPECT_EQ(segments[4].content, (6 << 2) | 2);

    // Independent readers: cd-info sees a Video CD, ffprobe reads every stream.
    const auto info = run("cd-info --no-device-info --no-disc-mode --cue-file " + quote(dir.file("disc.cue")));
    EXPECT_NE(info.output.find("Video CD"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("CD-RTOS"), std::string::npos);
    ASSERT_EQ(cli("inspect " + quote(dir.file("disc.cue")) + " --extract " + quote(dir.folder() + "x")).status, 0);
    const std::string musicItem = "x/SEGMENT/" + formatText("ITEM%04d.DAT", segments[4].playItem - 999);
    const auto probe = run("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                           quote(dir.folder() + musicItem));
    EXPECT_NE(probe.output.find("mpeg1video,352,288"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("mpeg1video,704,576"), std::string::npos);
    EXPECT_NE(probe.output.find("mp2"), std::string::npos);
    const auto track = run("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                           quote(dir.folder() + "x/track02.mpg"));
    EXPECT_NE(track.output.find("mpeg1video,352,288"), std::string::npos) << track.output;
}

TEST_F(EndToEnd, NtscWideWithoutOriginalFiles) {
    Project project;
    const int album = project.addAlbum("Plain");
    project.addSlide(album, kPhotos + "two_wings_portrait.jpg", "two_wings_portrait.jpg", 0);
    project.addSlide(album, kPhotos + "garden.jpg", "garden.jpg", 180);
    const auto file = saveAs(project, "plain.ovp");
    const auto result = build(file, "--ntsc --aspect 16:9 --crop 5 --no-photo-files --no-audio-files");
    ASSERT_EQ(result.status, 0) << result.output;
    const auto image = readImage();
    EXPECT_FALSE(image.info().palFlags.at(0));
    for (const auto& entry : image.files()) {
        EXPECT_EQ(entry.path.find("PHOTO FILES"), std::string::npos) << entry.path;
    }
    const auto segments = image.segments();
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[1].content, 2 << 2);  // NTSC hi-res still, no audio
    EXPECT_EQ(image.lists()[1].timeoutTime, 4);  // the default play time
}

TEST_F(EndToEnd, ExistingImageIsKeptWithoutYesAndReplacedWithIt) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    const auto file = saveAs(project, "one.ovp");
    testing::writeFile(dir.file("disc.cue"), "keep me");
    const auto refused = build(file, "");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("use --yes"), std::string::npos);
    EXPECT_EQ(testing::readFile(dir.file("disc.cue")), "keep me");
    ASSERT_EQ(build(file, "--yes").status, 0);
    EXPECT_NE(testing::readFile(dir.file("disc.cue")).find("BINARY"), std::string::npos);
}

TEST_F(EndToEnd, InspectRefusesFileNamesThatLeaveTheExtractFolder) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    ASSERT_EQ(build(saveAs(project, "one.ovp"), "").status, 0);
    // A hostile image: a segment file renamed so that extracting it would climb two folders up.
    auto bin = testing::readBytes(dir.file("disc.bin"));
    const std::string from = "ITEM0001.DAT;1", to = "../../EVIL.D;1";
    auto found = std::search(bin.begin(), bin.end(), from.begin(), from.end());
    ASSERT_NE(found, bin.end());
    std::copy(to.begin(), to.end(), found);
    testing::writeFile(dir.file("disc.bin"), std::string(bin.begin(), bin.end()));

    const auto result = cli("inspect " + quote(dir.file("disc.cue")) + " --extract " + quote(dir.folder() + "x/y"));
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("unsafe file name"), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(dir.path() / "EVIL.D"));
    EXPECT_FALSE(fs::exists(dir.path() / "x"));
}

TEST_F(EndToEnd, BurnToTheEmulatedRecorderGivesTheImagesBytes) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    const auto file = saveAs(project, "one.ovp");
    ASSERT_EQ(build(file, "").status, 0);
    const std::string device = "emulated:" + dir.file("burned.bin");
    const auto simulated = cli("burn " + quote(file) + " -d " + quote(device) + " --simulate --temp " +
                               quote(dir.folder() + "work"));
    ASSERT_EQ(simulated.status, 0) << simulated.output;
    EXPECT_NE(simulated.output.find("The simulation is successfully finished"), std::string::npos);
    const auto burned = cli("burn " + quote(file) + " -d " + quote(device) + " --temp " + quote(dir.folder() + "work"));
    ASSERT_EQ(burned.status, 0) << burned.output;
    EXPECT_NE(burned.output.find("Congratulations!"), std::string::npos);
    EXPECT_EQ(testing::readBytes(dir.file("burned.bin")), testing::readBytes(dir.file("disc.bin")));

    // Raw mode: the host makes the sub-channel, the drive checks it and keeps the sectors.
    const auto raw = cli("burn " + quote(file) + " -d " + quote("emulated:" + dir.file("raw.bin")) +
                         " --mode raw --temp " + quote(dir.folder() + "work"));
    ASSERT_EQ(raw.status, 0) << raw.output;
    EXPECT_EQ(testing::readBytes(dir.file("raw.bin")), testing::readBytes(dir.file("disc.bin")));

    // A disc too small for the project is refused, not burnt until it runs out.
    const auto small = cli("burn " + quote(file) + " -d " + quote("emulated:" + dir.file("small.bin") + "?capacity=300") +
                           " --temp " + quote(dir.folder() + "work"));
    EXPECT_EQ(small.status, 1) << small.output;
    EXPECT_NE(small.output.find("the disc is too small for the project"), std::string::npos) << small.output;
    EXPECT_TRUE(testing::readBytes(dir.file("small.bin")).empty());
}

TEST_F(EndToEnd, ExitStatusesAndMessages) {
    EXPECT_EQ(cli("--help").status, 0);
    EXPECT_NE(cli("--version").output.find("tellavine-cli"), std::string::npos);
    const auto usage = cli("build");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.output.find("Try 'tellavine-cli --help'"), std::string::npos);
    const auto missing = build(dir.file("none.ovp"), "");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("none.ovp"), std::string::npos);
    const auto wrongName = cli("build " + quote(dir.file("x.ovp")) + " -o " + quote(dir.file("disc.bin")));
    EXPECT_EQ(wrongName.status, 1);
    EXPECT_NE(wrongName.output.find("must have a .cue extension"), std::string::npos);
    const auto notAnImage = cli("inspect " + quote(dir.file("nothing.cue")));
    EXPECT_EQ(notAnImage.status, 1);
}

}  // namespace
}  // namespace tellavine
