// tellavine-cli driven as a user drives it: projects built into images that are read
// back with our own reader and with independent tools (cd-info, ffprobe).
#include "cli/disc_image.h"
#include "platform/text.h"
#include "project/project_file.h"
#include "support/child_process.h"
#include "support/exif_block.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

namespace tellavine {
namespace {

namespace fs = std::filesystem;
using testing::RunResult;
using testing::runShell;
using testing::shellQuoted;
using testing::TempDir;

const std::string kPhotos = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/";
const std::string kCompletion = std::string(TELLAVINE_SOURCE_DIR) + "/data/completion/tellavine-cli.bash";

RunResult cli(const std::string& arguments) { return runShell(shellQuoted(TELLAVINE_CLI) + " " + arguments); }

class EndToEnd : public ::testing::Test {
protected:
    std::string tone(const std::string& name, double seconds) {
        const std::string path = dir.file(name);
        runShell("sox -q -n -r 44100 -c 2 -b 16 " + shellQuoted(path) + " synth " + std::to_string(seconds) + " sine 523 gain -6");
        return path;
    }
    std::string saveAs(const Project& project, const std::string& name) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(saveProject(project, path));
        return path;
    }
    RunResult build(const std::string& project, const std::string& extra) {
        return cli("build " + shellQuoted(project) + " -o " + shellQuoted(dir.file("disc.cue")) + " --temp " +
                   shellQuoted(dir.folder() + "work") + " " + extra);
    }
    // A holiday folder: a loose photo and the menu music in the root, three album folders
    // (natural order puts "2 Beach" before "10 Town"), one with an MP3, one with a hidden
    // photo and a note, a photo with an upper-case extension.
    std::string holidayFolder() {
        const fs::path root = dir.path() / "Holiday";
        for (const char* album : {"2 Beach", "3 Hills", "10 Town"}) fs::create_directories(root / album);
        fs::copy_file(kPhotos + "dune.jpg", root / "loose.jpg");
        fs::copy_file(tone("menu.wav", 3), root / "menu.wav");
        fs::copy_file(kPhotos + "aqua.jpg", root / "2 Beach/sea.jpg");
        fs::copy_file(kPhotos + "storm.jpg", root / "2 Beach/WAVES.JPG");
        runShell("lame --quiet " + shellQuoted(tone("beach.wav", 4)) + " " + shellQuoted((root / "2 Beach/song.mp3").string()));
        fs::copy_file(kPhotos + "green_meadow.jpg", root / "3 Hills/meadow 10.jpg");
        fs::copy_file(kPhotos + "garden.jpg", root / "3 Hills/meadow 9.jpg");
        fs::copy_file(kPhotos + "wood.jpg", root / "10 Town/wood.jpg");
        fs::copy_file(kPhotos + "garden.jpg", root / "10 Town/.hidden.jpg");
        testing::writeFile((root / "10 Town/notes.txt").string(), "not a picture");
        return root.string();
    }
    nlohmann::json inspectJson(const std::string& cue) {
        const std::string listing = testing::shellOutput(shellQuoted(TELLAVINE_CLI) + " inspect --json " + shellQuoted(cue));
        const auto parsed = nlohmann::json::parse(listing, nullptr, false);
        EXPECT_FALSE(parsed.is_discarded()) << listing;
        return parsed;
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
    ASSERT_EQ(result.exitStatus, 0) << result.output;
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
    const auto info = runShell("cd-info --no-device-info --no-disc-mode --cue-file " + shellQuoted(dir.file("disc.cue")));
    EXPECT_NE(info.output.find("Video CD"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("CD-RTOS"), std::string::npos);
    ASSERT_EQ(cli("inspect " + shellQuoted(dir.file("disc.cue")) + " --extract " + shellQuoted(dir.folder() + "x")).exitStatus, 0);
    const std::string musicItem = "x/SEGMENT/" + formatText("ITEM%04d.DAT", segments[4].playItem - 999);
    const auto probe = runShell("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                           shellQuoted(dir.folder() + musicItem));
    EXPECT_NE(probe.output.find("mpeg1video,352,288"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("mpeg1video,704,576"), std::string::npos);
    EXPECT_NE(probe.output.find("mp2"), std::string::npos);
    const auto track = runShell("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " +
                           shellQuoted(dir.folder() + "x/track02.mpg"));
    EXPECT_NE(track.output.find("mpeg1video,352,288"), std::string::npos) << track.output;
}

// Photos as phones and the web save them, each taken sideways (EXIF orientation 6), and
// music as audio editors save it (24-bit, float): the disc shows every photo upright and
// plays the music as the Video CD's MPEG-1 Layer II.
TEST_F(EndToEnd, PhonePhotosStandUprightAndStudioWavMusicIsPlayed) {
    // Upright: 320 x 180, red on the left, blue on the right.
    const std::string upright = dir.file("upright.png");
    ASSERT_TRUE(runShell("convert-im6.q16 -size 160x180 xc:'#d02020' -size 160x180 xc:'#2020d0' +append " +
                         shellQuoted(upright)).succeeded());
    // As the camera stored it: turned a quarter left, with orientation 6 to turn it back.
    const std::string sideways = dir.file("sideways.jpg");
    ASSERT_TRUE(runShell("convert-im6.q16 " + shellQuoted(upright) + " -rotate -90 -quality 95 " + shellQuoted(sideways))
                    .succeeded());
    const auto withExif = testing::jpegWithExifOrientation(testing::readBytes(sideways), 6);
    testing::writeFile(sideways, std::string(withExif.begin(), withExif.end()));
    struct Photo {
        const char* name;
        std::string command;  // makes the photo from sideways.jpg
    };
    const Photo photos[] = {
        {"phone.heic", "heif-enc -q 90 " + shellQuoted(sideways) + " -o " + shellQuoted(dir.file("phone.heic"))},
        {"phone.avif", "heif-enc -q 90 " + shellQuoted(sideways) + " -o " + shellQuoted(dir.file("phone.avif"))},
        {"web.webp", "cwebp -quiet -q 95 -metadata exif " + shellQuoted(sideways) + " -o " + shellQuoted(dir.file("web.webp"))},
    };
    Project project;
    MenuSettings menu = project.menu();
    menu.musicPath = dir.file("menu.wav");
    ASSERT_TRUE(runShell("sox -q -n -r 48000 -c 2 -b 32 -e floating-point " + shellQuoted(menu.musicPath) +
                         " synth 3 sine 523 gain -6").succeeded());
    project.setMenu(menu);
    const int album = project.addAlbum("Phone");
    for (const Photo& photo : photos) {
        ASSERT_TRUE(runShell(photo.command).succeeded()) << photo.name;
        project.addSlide(album, dir.file(photo.name), photo.name, 0);
    }
    const int music = project.addAlbum("Music");
    project.album(music).playTime = 3;
    project.album(music).musicPath = dir.file("album.wav");
    ASSERT_TRUE(runShell("sox -q -n -r 44100 -c 2 -b 24 " + shellQuoted(project.album(music).musicPath) +
                         " synth 5 sine 523 gain -6").succeeded());
    project.addSlide(music, kPhotos + "dune.jpg", "dune.jpg", 0);
    const auto result = build(saveAs(project, "phone.ovp"), "--pal --aspect none --crop 0");
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    const auto listing = cli("inspect " + shellQuoted(dir.file("disc.cue")) + " --extract " + shellQuoted(dir.folder() + "x"));
    ASSERT_EQ(listing.exitStatus, 0) << listing.output;
    for (const char* listed : {"PHOTO FILES/PHONE/PHONE.HEIC", "PHOTO FILES/PHONE/PHONE.AVIF", "PHOTO FILES/PHONE/WEB.WEBP",
                               "AUDIO FILES/MENU.WAV", "AUDIO FILES/MUSIC/ALBUM.WAV"})
        EXPECT_NE(listing.output.find(listed), std::string::npos) << listed << " not in\n" << listing.output;

    const auto image = readImage();
    const auto segments = image.segments();
    ASSERT_EQ(segments.size(), 5u);  // the menu page, three photos, the album with music
    auto itemPath = [&](std::size_t segment) {
        return dir.folder() + "x/SEGMENT/" + formatText("ITEM%04d.DAT", segments[segment].playItem - 999);
    };
    for (std::size_t withMusic : {0u, 4u}) {
        EXPECT_EQ(segments[withMusic].content, (6 << 2) | 2);  // PAL hi-res still, stereo audio
        const auto probe = runShell("ffprobe -v error -select_streams a -show_entries stream=codec_name,sample_rate,channels "
                                    "-of csv=p=0 " + shellQuoted(itemPath(withMusic)));
        EXPECT_NE(probe.output.find("mp2,44100,2"), std::string::npos) << itemPath(withMusic) << ": " << probe.output;
    }
    // Each photo's hi-res still, decoded by ffmpeg: a landscape picture 704 x 396 in the
    // middle of the frame, red on the left and blue on the right.
    for (std::size_t photo = 0; photo < 3; ++photo) {
        SCOPED_TRACE(photos[photo].name);
        const std::string frame = dir.file("frame.rgb");
        ASSERT_TRUE(runShell("ffmpeg -v error -y -i " + shellQuoted(itemPath(photo + 1)) +
                             " -frames:v 1 -f rawvideo -pix_fmt rgb24 " + shellQuoted(frame)).succeeded());
        const auto rgb = testing::readBytes(frame);
        ASSERT_EQ(rgb.size(), 704u * 576 * 3);
        auto at = [&](int x, int y) { return &rgb[(static_cast<std::size_t>(y) * 704 + x) * 3]; };
        EXPECT_GT(at(176, 288)[0], 150);  // left: red
        EXPECT_LT(at(176, 288)[2], 100);
        EXPECT_GT(at(528, 288)[2], 150);  // right: blue
        EXPECT_LT(at(528, 288)[0], 100);
        EXPECT_LT(at(352, 40)[0] + at(352, 40)[1] + at(352, 40)[2], 60);  // black above the photo
        EXPECT_LT(at(352, 536)[0] + at(352, 536)[1] + at(352, 536)[2], 60);  // and below
    }
}

TEST_F(EndToEnd, NtscWideWithoutOriginalFiles) {
    Project project;
    const int album = project.addAlbum("Plain");
    project.addSlide(album, kPhotos + "two_wings_portrait.jpg", "two_wings_portrait.jpg", 0);
    project.addSlide(album, kPhotos + "garden.jpg", "garden.jpg", 180);
    const auto file = saveAs(project, "plain.ovp");
    const auto result = build(file, "--ntsc --aspect 16:9 --crop 5 --no-photo-files --no-audio-files");
    ASSERT_EQ(result.exitStatus, 0) << result.output;
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
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.output.find("use --yes"), std::string::npos);
    EXPECT_EQ(testing::readFile(dir.file("disc.cue")), "keep me");
    ASSERT_EQ(build(file, "--yes").exitStatus, 0);
    EXPECT_NE(testing::readFile(dir.file("disc.cue")).find("BINARY"), std::string::npos);
}

TEST_F(EndToEnd, InspectRefusesFileNamesThatLeaveTheExtractFolder) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    ASSERT_EQ(build(saveAs(project, "one.ovp"), "").exitStatus, 0);
    // A hostile image: a segment file renamed so that extracting it would climb two folders up.
    auto bin = testing::readBytes(dir.file("disc.bin"));
    const std::string from = "ITEM0001.DAT;1", to = "../../EVIL.D;1";
    auto found = std::search(bin.begin(), bin.end(), from.begin(), from.end());
    ASSERT_NE(found, bin.end());
    std::copy(to.begin(), to.end(), found);
    testing::writeFile(dir.file("disc.bin"), std::string(bin.begin(), bin.end()));

    const auto result = cli("inspect " + shellQuoted(dir.file("disc.cue")) + " --extract " + shellQuoted(dir.folder() + "x/y"));
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    EXPECT_NE(result.output.find("unsafe file name"), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(dir.path() / "EVIL.D"));
    EXPECT_FALSE(fs::exists(dir.path() / "x"));
}

TEST_F(EndToEnd, BurnToTheEmulatedRecorderGivesTheImagesBytes) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    const auto file = saveAs(project, "one.ovp");
    ASSERT_EQ(build(file, "").exitStatus, 0);
    const std::string device = "emulated:" + dir.file("burned.bin");
    const auto simulated = cli("burn " + shellQuoted(file) + " -d " + shellQuoted(device) + " --simulate --temp " +
                               shellQuoted(dir.folder() + "work"));
    ASSERT_EQ(simulated.exitStatus, 0) << simulated.output;
    EXPECT_NE(simulated.output.find("The simulation is successfully finished"), std::string::npos);
    const auto burned = cli("burn " + shellQuoted(file) + " -d " + shellQuoted(device) + " --temp " + shellQuoted(dir.folder() + "work"));
    ASSERT_EQ(burned.exitStatus, 0) << burned.output;
    EXPECT_NE(burned.output.find("Congratulations!"), std::string::npos);
    EXPECT_EQ(testing::readBytes(dir.file("burned.bin")), testing::readBytes(dir.file("disc.bin")));

    // Raw mode: the host makes the sub-channel, the drive checks it and keeps the sectors.
    const auto raw = cli("burn " + shellQuoted(file) + " -d " + shellQuoted("emulated:" + dir.file("raw.bin")) +
                         " --mode raw --temp " + shellQuoted(dir.folder() + "work"));
    ASSERT_EQ(raw.exitStatus, 0) << raw.output;
    EXPECT_EQ(testing::readBytes(dir.file("raw.bin")), testing::readBytes(dir.file("disc.bin")));

    // A disc too small for the project is refused, not burnt until it runs out.
    const auto small = cli("burn " + shellQuoted(file) + " -d " + shellQuoted("emulated:" + dir.file("small.bin") + "?capacity=300") +
                           " --temp " + shellQuoted(dir.folder() + "work"));
    EXPECT_EQ(small.exitStatus, 1) << small.output;
    EXPECT_NE(small.output.find("the disc is too small for the project"), std::string::npos) << small.output;
    EXPECT_TRUE(testing::readBytes(dir.file("small.bin")).empty());
}

TEST_F(EndToEnd, AFolderTreeBuildsTheDiscItDescribes) {
    const std::string folder = holidayFolder();
    const auto result = cli("build " + shellQuoted(folder) + " -o " + shellQuoted(dir.file("disc.cue")) + " --temp=" +
                            shellQuoted(dir.folder() + "work") + " --play-time=3 --pal");
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    const auto disc = inspectJson(dir.file("disc.cue"));
    if (disc.is_discarded()) return;

    // The menu's keys lead to four albums: the root's, then the folders in natural order.
    const auto& menu = disc["lists"][0];
    EXPECT_EQ(menu["kind"], "selection");
    ASSERT_EQ(menu["selections"].size(), 4u) << menu;
    for (const auto& lid : menu["selections"]) EXPECT_NE(lid, 0) << menu;
    // Items: the menu with its music, Holiday's one photo, the beach as one still sequence
    // over its MP3, the hills' two photos, the town's one (no hidden photo, no note).
    std::vector<int> audio;
    for (const auto& segment : disc["segments"]) audio.push_back(segment["content"].get<int>() & 3);
    EXPECT_EQ(audio, (std::vector<int>{2, 0, 2, 0, 0, 0}));
    EXPECT_EQ(disc["lists"][1]["timeoutTime"], 3) << "the play time given";
    std::set<std::string> files;
    for (const auto& file : disc["files"]) files.insert(file["path"]);
    for (const char* path : {"PHOTO FILES/HOLIDAY/LOOSE.JPG", "PHOTO FILES/2 BEACH/WAVES.JPG", "PHOTO FILES/2 BEACH/SEA.JPG",
                             "PHOTO FILES/3 HILLS/MEADOW 9.JPG", "PHOTO FILES/10 TOWN/WOOD.JPG", "AUDIO FILES/MENU.WAV",
                             "AUDIO FILES/2 BEACH/SONG.MP3"}) {
        EXPECT_EQ(files.count(path), 1u) << path << " is not on the disc:\n" << disc["files"];
    }
    for (const auto& path : files) {
        EXPECT_EQ(path.find("HIDDEN"), std::string::npos) << path;
        EXPECT_EQ(path.find("NOTES"), std::string::npos) << path;
    }
}

TEST_F(EndToEnd, NewThenShowThenImportGivesTheSameProjectFile) {
    const auto made = cli("new " + shellQuoted(holidayFolder()) + " -o " + shellQuoted(dir.file("a.ovp")) +
                          " --captions name --sort date");
    ASSERT_EQ(made.exitStatus, 0) << made.output;
    EXPECT_NE(made.output.find("Total : 4 Albums, 6 Photos"), std::string::npos) << made.output;
    // The demo project too, as make-demo.sh writes it.
    std::string demo = testing::readFile(std::string(TELLAVINE_SOURCE_DIR) + "/samples/demo-project.json");
    demo = std::regex_replace(demo, std::regex("@PHOTOS@"), kPhotos);
    demo = std::regex_replace(demo, std::regex("@MUSIC@"), dir.folder());
    testing::writeFile(dir.file("demo.json"), demo);
    ASSERT_EQ(cli("import " + shellQuoted(dir.file("demo.json")) + " -o " + shellQuoted(dir.file("b.ovp"))).exitStatus, 0);

    for (const char* name : {"a", "b"}) {
        const std::string project = dir.file(std::string(name) + ".ovp");
        const std::string json = dir.file(std::string(name) + ".json");
        ASSERT_EQ(runShell(shellQuoted(TELLAVINE_CLI) + " show --json " + shellQuoted(project) + " > " + shellQuoted(json)).exitStatus, 0);
        const auto back = cli("import " + shellQuoted(json) + " --output=" + shellQuoted(project + ".again"));
        ASSERT_EQ(back.exitStatus, 0) << back.output;
        EXPECT_EQ(testing::readBytes(project + ".again"), testing::readBytes(project)) << testing::readFile(json);
    }
    const auto listing = cli("show " + shellQuoted(dir.file("b.ovp")));
    EXPECT_NE(listing.output.find("Album 2 \"Garden\": 4 photos, 6 s each"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("fits a 74-minute disc"), std::string::npos) << listing.output;

    // Bad JSON is named by line and field, and nothing is written; a project is replaced only with --yes.
    testing::writeFile(dir.file("bad.json"), "{\n  \"albums\": [\n    {\"name\": 7}\n  ]\n}\n");
    const auto bad = cli("import " + shellQuoted(dir.file("bad.json")) + " -o " + shellQuoted(dir.file("c.ovp")));
    EXPECT_EQ(bad.exitStatus, 1);
    EXPECT_NE(bad.output.find("line 3: albums[0].name: must be a text"), std::string::npos) << bad.output;
    EXPECT_FALSE(fs::exists(dir.file("c.ovp")));
    const auto existing = cli("import " + shellQuoted(dir.file("a.json")) + " -o " + shellQuoted(dir.file("b.ovp")));
    EXPECT_EQ(existing.exitStatus, 1);
    EXPECT_NE(existing.output.find("--yes"), std::string::npos) << existing.output;
}

TEST_F(EndToEnd, InspectJsonStaysValidForNamesThatAreNotUtf8) {
    Project project;
    project.addSlide(project.addAlbum("One"), kPhotos + "rain_drops.jpg", "rain_drops.jpg", 0);
    ASSERT_EQ(build(saveAs(project, "one.ovp"), "").exitStatus, 0);
    // Names on a disc are bytes: make one of them Latin-1.
    auto bin = testing::readBytes(dir.file("disc.bin"));
    const std::string from = "ITEM0001.DAT;1";
    auto found = std::search(bin.begin(), bin.end(), from.begin(), from.end());
    ASSERT_NE(found, bin.end());
    found[4] = 0xC9;
    testing::writeFile(dir.file("disc.bin"), std::string(bin.begin(), bin.end()));
    const auto disc = inspectJson(dir.file("disc.cue"));
    std::set<std::string> files;
    for (const auto& file : disc["files"]) files.insert(file["path"]);
    EXPECT_EQ(files.count("SEGMENT/ITEM\xEF\xBF\xBD" "001.DAT"), 1u) << disc["files"];
}

TEST_F(EndToEnd, CompletionOffersEveryOptionOfEveryCommand) {
    for (const char* command : {"new", "build", "burn", "show", "import", "inspect", "devices", "erase", "eject", "close-tray"}) {
        const std::string help = cli(std::string(command) + " --help").output;
        const std::string offered = testing::shellOutput(
            "bash -c " + shellQuoted(". " + shellQuoted(kCompletion) + "; COMP_WORDS=(tellavine-cli " + command +
                                     " -); COMP_CWORD=2; _tellavine_cli; echo \" ${COMPREPLY[*]} \""));
        const std::regex option("--[a-z][a-z-]*");
        for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) {
            EXPECT_NE(offered.find(" " + it->str() + " "), std::string::npos) << command << " " << it->str() << ":" << offered;
        }
    }
    const std::string commands = testing::shellOutput(
        "bash -c " + shellQuoted(". " + shellQuoted(kCompletion) +
                                 "; COMP_WORDS=(tellavine-cli b); COMP_CWORD=1; _tellavine_cli; echo ${COMPREPLY[*]}"));
    EXPECT_EQ(commands, "build burn\n");
}

TEST_F(EndToEnd, ExitStatusesAndMessages) {
    EXPECT_EQ(cli("--help").exitStatus, 0);
    EXPECT_NE(cli("--version").output.find("tellavine-cli"), std::string::npos);
    const auto usage = cli("build");
    EXPECT_EQ(usage.exitStatus, 2);
    EXPECT_NE(usage.output.find("Try 'tellavine-cli build --help'"), std::string::npos);
    const auto unknown = cli("build x.ovp -o x.cue --colour=red");
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_NE(unknown.output.find("--colour"), std::string::npos) << unknown.output;
    const auto missingValue = cli("new Holiday -o");
    EXPECT_EQ(missingValue.exitStatus, 2);
    EXPECT_NE(missingValue.output.find("-o"), std::string::npos) << missingValue.output;
    const auto help = cli("build --help");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.output.find("--crop"), std::string::npos) << help.output;
    EXPECT_EQ(help.output.find("--simulate"), std::string::npos) << help.output;
    const auto missing = build(dir.file("none.ovp"), "");
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.output.find("none.ovp"), std::string::npos);
    const auto wrongName = cli("build " + shellQuoted(dir.file("x.ovp")) + " -o " + shellQuoted(dir.file("disc.bin")));
    EXPECT_EQ(wrongName.exitStatus, 1);
    EXPECT_NE(wrongName.output.find("must have a .cue extension"), std::string::npos);
    const auto notAnImage = cli("inspect " + shellQuoted(dir.file("nothing.cue")));
    EXPECT_EQ(notAnImage.exitStatus, 1);
}

}  // namespace
}  // namespace tellavine
