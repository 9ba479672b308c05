// Disc assembly written to a real image and read back with the independent reader.
#include "pipeline/disc_assembly.h"

#include "cli/disc_image.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "vcd/image_sink.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::TempDir;

namespace fs = std::filesystem;

// A short VCD-format MPEG stream made by an independent encoder, standing in for every
// stage output: assembly only needs valid program streams.
// The file is made once per test process (ctest runs these tests side by side) and
// removed when the process ends.
struct SampleStreamFile {
    std::string path;
    ~SampleStreamFile() {
        std::error_code ignored;
        if (!path.empty()) fs::remove(path, ignored);
    }
};

const std::string& sampleStream() {
    static const SampleStreamFile sample = [] {
        const std::string file =
            (fs::temp_directory_path() / ("tellavine-assembly-sample-" + std::to_string(getpid()) + ".mpg")).string();
        const std::string command =
            "ffmpeg -v error -y -f lavfi -i testsrc=size=352x240:rate=30000/1001 -f lavfi "
            "-i sine=frequency=440:sample_rate=44100 -t 0.5 -target ntsc-vcd " + testing::shellQuoted(file);
        if (!testing::runShell(command).succeeded()) return SampleStreamFile{};
        return SampleStreamFile{file};
    }();
    return sample.path;
}

class DiscAssembly : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(sampleStream().empty()) << "ffmpeg could not make the sample stream";
        fs::create_directories(temp.path() / "Temp");
        fs::copy_file(sampleStream(), program.file("avseq01.ntsc"));
        testing::writeFile(program.file("photo.jpg"), "not really a photo");
        testing::writeFile(program.file("song.mp3"), "not really music");
        inputs.project = &project;
        inputs.tempDir = temp.folder() + "Temp/";
        inputs.programDir = program.folder();
        inputs.options.outputTarget = OutputTarget::ImageFile;
    }

    void stageOutput(const std::string& name) {
        fs::copy_file(sampleStream(), inputs.tempDir + name, fs::copy_options::overwrite_existing);
    }

    void addAlbum(const std::string& name, int photos, bool music, const std::string& photoName = "photo.jpg") {
        const int index = project.addAlbum(name);
        for (int i = 0; i < photos; ++i) project.addSlide(index, program.file("photo.jpg"), photoName, 0);
        if (music) project.album(index).musicPath = program.file("song.mp3");
    }

    // Writes the image and reads it back.
    cli::DiscImage writeAndRead() {
        job.itemsPerPage = project.itemsPerPage();
        job.albumCount = project.albumCount();
        job.cuePath = temp.file("disc.cue");
        job.binPath = temp.file("disc.bin");
        auto disc = assembleDisc(job, inputs);
        EXPECT_NE(disc, nullptr);
        cli::DiscImage image;
        if (!disc) return image;
        auto sink = vcd::createImageSink(job.cuePath, job.binPath, job);
        job.imageSectors = static_cast<std::int32_t>(disc->beginOutput());
        EXPECT_GT(job.imageSectors.load(), 0) << disc->failureReason();
        EXPECT_EQ(disc->writeImage(sink.get(), {}, job), vcd::kWriteComplete) << disc->failureReason();
        disc->endOutput();
        std::string error;
        EXPECT_TRUE(image.open(job.cuePath, error) && image.readFileSystem(error) && image.readControlFiles(error))
            << error;
        return image;
    }

    TempDir temp, program;
    Project project;
    BuildJob job;
    BuildInputs inputs;
};

TEST_F(DiscAssembly, FiveAlbumExampleGivesTheNodeAndSegmentNumbers) {
    // Four per page; albums of 3 and 2 photos, one with music, then 1 and 1.
    project.setItemsPerPage(4);
    addAlbum("One", 3, false);
    addAlbum("Two", 2, false);
    addAlbum("Three", 2, true);
    addAlbum("Four", 1, false);
    addAlbum("Five", 1, false);
    project.album(0).playTime = 7;
    for (const char* name : {"menu_01.mpg", "menu_02.mpg", "menu_01_pic_01.mpg", "menu_01_pic_02.mpg",
                             "menu_01_pic_03.mpg", "menu_02_pic_01.mpg", "menu_02_pic_02.mpg", "menu_03_pic_01.mpg",
                             "menu_04_pic_01.mpg", "menu_05_pic_01.mpg"}) {
        stageOutput(name);
    }
    const auto image = writeAndRead();
    const auto& lists = image.lists();
    ASSERT_EQ(lists.size(), 10u);  // 2 pages + 3 + 2 + 1 + 1 + 1 items
    EXPECT_EQ(image.info().maxLid, 10);

    // Pages: keys lead to each album's first item; pages link to each other only.
    EXPECT_EQ(lists[0].selectionLids, (std::vector<int>{3, 6, 8, 9}));
    EXPECT_EQ(lists[1].selectionLids, (std::vector<int>{10}));
    EXPECT_EQ(lists[0].nextLid, 2);
    EXPECT_EQ(lists[0].prevLid, 0);
    EXPECT_EQ(lists[1].prevLid, 1);
    EXPECT_EQ(lists[1].nextLid, 0);
    EXPECT_EQ(lists[0].timeoutTime, 0xFF);
    EXPECT_EQ(lists[0].timeoutLid, 1);
    EXPECT_EQ(lists[0].defaultLid, 1);

    // Album 1: nodes 3..5 step through by themselves; the last returns to the menu.
    EXPECT_EQ(lists[2].nextLid, 4);
    EXPECT_EQ(lists[2].timeoutLid, 4);
    EXPECT_EQ(lists[2].timeoutTime, 7);
    EXPECT_TRUE(lists[2].jumpDelayed);
    EXPECT_EQ(lists[4].nextLid, 1);
    EXPECT_EQ(lists[4].timeoutLid, 0);
    EXPECT_EQ(lists[4].returnLid, 1);
    EXPECT_EQ(lists[3].prevLid, 3);
    // The music album is one item that waits for its own end.
    EXPECT_EQ(lists[7].timeoutTime, 0);
    EXPECT_FALSE(lists[7].jumpDelayed);
    EXPECT_EQ(lists[7].nextLid, 1);

    // Segments 0 and 1 are the pages, 2..9 the album items, in node order.
    const auto segments = image.segments();
    ASSERT_EQ(segments.size(), 10u);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(lists[i].itemNumber, segments[i].playItem) << "list " << i + 1;
    }
    ASSERT_EQ(image.entries().size(), 1u);
    EXPECT_EQ(image.cue().tracks.size(), 2u);
}

TEST_F(DiscAssembly, EmptyAlbumKeyDoesNothingAndDuplicatePhotoNamesAreNumbered) {
    project.setItemsPerPage(6);
    addAlbum("Full", 3, false, "IMG.JPG");
    project.album(0).slides[2]->displayName = "img.jpg";
    addAlbum("Empty", 0, false);
    addAlbum("Dots", 2, false, ".hidden");
    for (const char* name : {"menu_01.mpg", "menu_01_pic_01.mpg", "menu_01_pic_02.mpg", "menu_01_pic_03.mpg",
                             "menu_03_pic_01.mpg", "menu_03_pic_02.mpg"}) {
        stageOutput(name);
    }
    const auto image = writeAndRead();
    ASSERT_FALSE(image.lists().empty());
    EXPECT_EQ(image.lists()[0].selectionLids, (std::vector<int>{2, 0, 5}));
    for (const char* path : {"PHOTO FILES/FULL/IMG.JPG", "PHOTO FILES/FULL/IMG_1.JPG", "PHOTO FILES/FULL/IMG_2.JPG"}) {
        EXPECT_NE(image.findFile(path), nullptr) << path;
    }
}

TEST_F(DiscAssembly, AlbumNamesNeverNestOrClimbOutOfThePhotoFolder) {
    project.setItemsPerPage(4);
    addAlbum("../Up", 1, false);
    addAlbum("..", 1, false);
    addAlbum("a\\b", 1, false);
    for (const char* name : {"menu_01.mpg", "menu_01_pic_01.mpg", "menu_02_pic_01.mpg", "menu_03_pic_01.mpg"}) {
        stageOutput(name);
    }
    const auto image = writeAndRead();  // our reader refuses a tree with "..", "/" or "\\" in a name
    for (const char* path : {"PHOTO FILES/.._UP/PHOTO.JPG", "PHOTO FILES/__/PHOTO.JPG", "PHOTO FILES/A_B/PHOTO.JPG"}) {
        EXPECT_NE(image.findFile(path), nullptr) << path;
    }
}

TEST_F(DiscAssembly, NoCopyIsLeftOffWhenNamesMeetOnTheDisc) {
    // The disc's file system upper-cases names and keeps one entry per name in a folder:
    // folders and files that meet there are numbered rather than dropped.
    project.setItemsPerPage(4);
    MenuSettings menu = project.menu();
    menu.musicPath = program.file("song.mp3");
    project.setMenu(menu);
    addAlbum("2020/06", 1, false, "IMG.JPG");
    addAlbum("2020_06", 3, false, "IMG.JPG");
    project.album(1).slides[2]->displayName = "img_1.jpg";  // what the second IMG.JPG becomes
    addAlbum("song.mp3", 1, true);
    std::string accented;
    for (int i = 0; i < 120; ++i) accented += "\xC3\xA9";  // 240 bytes of "e acute"
    addAlbum(accented, 1, false, accented + ".jpeg");
    for (const char* name : {"menu_01.mpg", "menu_01_pic_01.mpg", "menu_02_pic_01.mpg", "menu_02_pic_02.mpg",
                             "menu_02_pic_03.mpg", "menu_03_pic_01.mpg", "menu_04_pic_01.mpg"}) {
        stageOutput(name);
    }
    const auto image = writeAndRead();
    for (const char* path : {"PHOTO FILES/2020_06/IMG.JPG", "PHOTO FILES/2020_06_1/IMG.JPG",
                             "PHOTO FILES/2020_06_1/IMG_1.JPG", "PHOTO FILES/2020_06_1/IMG_1_1.JPG",
                             "AUDIO FILES/SONG.MP3", "AUDIO FILES/SONG_1.MP3/SONG.MP3"}) {
        EXPECT_NE(image.findFile(path), nullptr) << path;
    }
    // The long names are cut on a character boundary; the photo keeps its extension.
    std::size_t longPhotos = 0;
    for (const auto& file : image.files()) {
        if (file.directory || file.path.find("\xC3\xA9") == std::string::npos) continue;
        const auto folder = file.path.substr(0, file.path.rfind('/'));
        const auto name = file.path.substr(file.path.rfind('/') + 1);
        EXPECT_LE(folder.size() - folder.rfind('/') - 1, 205u) << folder;
        EXPECT_EQ(folder.back(), '\xA9') << folder;
        EXPECT_LE(name.size(), 205u) << name;
        ASSERT_GE(name.size(), 7u);
        EXPECT_EQ(name.substr(name.size() - 5), ".JPEG") << name;
        EXPECT_EQ(name[name.size() - 6], '\xA9') << name;
        ++longPhotos;
    }
    EXPECT_EQ(longPhotos, 1u);
}

TEST_F(DiscAssembly, MissingStageOutputNamesTheFile) {
    testing::RecordingServices prompt;
    inputs.services = prompt;
    project.setItemsPerPage(4);
    addAlbum("One", 1, false);
    stageOutput("menu_01.mpg");
    job.itemsPerPage = 4;
    EXPECT_EQ(assembleDisc(job, inputs), nullptr);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->shown()[0], "Error while opening file " + inputs.tempDir + "menu_01_pic_01.mpg for reading.");
}

TEST_F(DiscAssembly, IncludeFlagsOffLeaveOnlyTheDiscsOwnFiles) {
    project.setItemsPerPage(4);
    addAlbum("Music", 1, true);
    MenuSettings menu = project.menu();
    menu.musicPath = program.file("song.mp3");
    project.setMenu(menu);
    inputs.options.includePhotoFiles = false;
    inputs.options.includeAudioFiles = false;
    stageOutput("menu_01.mpg");
    stageOutput("menu_01_pic_01.mpg");
    const auto image = writeAndRead();
    for (const auto& file : image.files()) {
        EXPECT_EQ(file.path.find("PHOTO"), std::string::npos) << file.path;
        EXPECT_EQ(file.path.find("AUDIO"), std::string::npos) << file.path;
    }
}

TEST(UniquePhotoNames, FollowTheNumberingRule) {
    Album album;
    for (const char* name : {"beach.jpg", "Beach.JPG", "beach.jpg", "x", "x", "a.b.c", "A.B.C"}) {
        auto slide = std::make_unique<Slide>();
        slide->displayName = name;
        album.slides.push_back(std::move(slide));
    }
    EXPECT_EQ(uniquePhotoNames(album),
              (std::vector<std::string>{"beach.jpg", "Beach_1.JPG", "beach_2.jpg", "x", "x_1", "a.b.c", "A_1.B.C"}));
}

TEST(UniquePhotoNames, NumberingGoesOnPastNamesTheAlbumHolds) {
    Album album;
    for (const char* name : {"beach.jpg", "beach.jpg", "beach_1.jpg", "BEACH_1.JPG", "a/b", ".."}) {
        auto slide = std::make_unique<Slide>();
        slide->displayName = name;
        album.slides.push_back(std::move(slide));
    }
    EXPECT_EQ(uniquePhotoNames(album), (std::vector<std::string>{"beach.jpg", "beach_1.jpg", "beach_1_1.jpg",
                                                                "BEACH_1_2.JPG", "a_b", "__"}));
}

}  // namespace
}  // namespace tellavine
