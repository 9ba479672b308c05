// The slide and menu stages with real photos, music, encoder and multiplexer.
#include "encode/menu_stage.h"
#include "encode/slide_stage.h"

#include "audio/support/audio_fixtures.h"
#include "program_stream_reader.h"
#include "project/messages.h"
#include "support/recording_prompt.h"
#include "support/recording_receiver.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace tellavine {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::readFile;
using testing::TempDir;

const std::string kPhotos = std::string(TELLAVINE_SOURCE_DIR) + "/samples/photos/";
const std::string kProgramDir = std::string(TELLAVINE_BINARY_DIR) + "/bin/";

class Stages : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_shared<testing::RecordingReceiver>();
        job.window.attach(window);
        inputs.project = &project;
        inputs.tempDir = temp.folder();
        inputs.programDir = kProgramDir;
        inputs.options.tvStandard = TvStandard::PAL;
        inputs.services = testing::RecordingServices(temp.file("log.txt"));
    }

    int album(const std::string& name, std::vector<std::string> photos, int playTime = 4,
              const std::string& music = "") {
        const int index = project.addAlbum(name);
        project.album(index).playTime = playTime;
        project.album(index).musicPath = music;
        for (const auto& photo : photos) project.addSlide(index, kPhotos + photo, photo, 0);
        return index;
    }
    bool exists(const std::string& name) const { return fs::exists(temp.file(name)); }
    std::string log() const { return readFile(temp.file("log.txt")); }

    TempDir temp;
    Project project;
    BuildJob job;
    BuildInputs inputs;
    std::shared_ptr<testing::RecordingReceiver> window;
};

std::string makeTone(const TempDir& dir, const std::string& name, double seconds) {
    const std::string path = dir.file(name);
    testing::makeToneWav(path, {44100, 2, seconds, 440});
    return path;
}

TEST_F(Stages, AlbumsWithoutMusicGiveOneSegmentPerPhotoAndProgressBeforeEach) {
    album("One", {"ladybird.jpg", "aqua.jpg", "two_wings_portrait.jpg"});
    album("Two", {"storm.jpg", "rain_drops.jpg"});
    ASSERT_TRUE(encodeAlbumSlides(job, inputs));
    for (const char* name : {"menu_01_pic_01.mpg", "menu_01_pic_02.mpg", "menu_01_pic_03.mpg", "menu_02_pic_01.mpg",
                             "menu_02_pic_02.mpg"}) {
        EXPECT_TRUE(exists(name)) << name;
    }
    EXPECT_FALSE(exists("temp_d.m1v"));
    const auto posted = window->messages();
    ASSERT_EQ(posted.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(posted[i].id, WM_SLIDE_PROGRESS);
        EXPECT_EQ(posted[i].wParam, static_cast<MessageParam>(i));
        EXPECT_EQ(posted[i].lParam, 5);
    }
    // Each segment pairs the 704-wide photo with the stock 352-wide still.
    const auto contents = testing::readProgramStream(readBytes(temp.file("menu_02_pic_02.mpg")));
    ASSERT_TRUE(contents.wellFormed) << contents.error;
    EXPECT_EQ(contents.presentationTimes.count(0xE1), 1u);
    EXPECT_EQ(contents.presentationTimes.count(0xE2), 1u);
    EXPECT_EQ(contents.presentationTimes.count(0xC0), 0u);
    EXPECT_EQ(log().rfind("\nConvert JPEG " + kPhotos + "ladybird.jpg to MPEG.\nConvert JPEG " + kPhotos +
                              "ladybird.jpg to MPEG OK!\nConvert JPEG " + kPhotos + "aqua.jpg to MPEG.",
                          0),
              0u)
        << log();
}

TEST_F(Stages, LogLinesFollowThePhotoOrderWhileTheNextPhotoIsComposedAhead) {
    const std::string music = makeTone(temp, "tone.wav", 9.0);
    ASSERT_FALSE(music.empty());
    album("Plain", {"storm.jpg", "aqua.jpg"});
    album("Music", {"garden.jpg", "wood.jpg"}, 5, music);
    album("Last", {"rain_drops.jpg"});
    ASSERT_TRUE(encodeAlbumSlides(job, inputs));
    std::string expected;
    const auto segment = [&](const std::string& photo) {
        expected += "Convert JPEG " + kPhotos + photo + " to MPEG.\nConvert JPEG " + kPhotos + photo + " to MPEG OK!\n";
    };
    const auto still = [&](const std::string& photo) {
        expected += "Convert JPEG " + kPhotos + photo + " to MPEG.\nConvert JPEG " + kPhotos + photo + " to .m1v OK!\n";
    };
    segment("storm.jpg");
    segment("aqua.jpg");
    still("garden.jpg");
    still("garden.jpg");
    still("wood.jpg");
    still("wood.jpg");
    segment("rain_drops.jpg");
    // Only the stage's own lines, in order (the music stage adds lines of its own).
    std::string stageLines;
    std::istringstream lines(log());
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Convert JPEG ", 0) == 0) stageLines += line + "\n";
    EXPECT_EQ(stageLines, expected);
    const auto posted = window->messages();
    ASSERT_EQ(posted.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(posted[i].wParam, static_cast<MessageParam>(i));
}

TEST_F(Stages, TwoEncodingWorkersWriteTheSameFilesAndLogAsOne) {
    const std::string music = makeTone(temp, "tone.wav", 9.0);
    ASSERT_FALSE(music.empty());
    album("Plain", {"storm.jpg", "aqua.jpg", "ladybird.jpg"});
    album("Music", {"garden.jpg", "wood.jpg"}, 5, music);
    const std::vector<std::string> outputs = {"menu_01_pic_01.mpg", "menu_01_pic_02.mpg", "menu_01_pic_03.mpg",
                                              "menu_02_pic_01.mpg"};
    std::vector<std::vector<unsigned char>> single;
    ASSERT_TRUE(encodeAlbumSlides(job, inputs, SlideStageOptions{1}));
    for (const auto& name : outputs) single.push_back(readBytes(temp.file(name)));
    const std::string singleLog = log();

    inputs.services = testing::RecordingServices(temp.file("log2.txt"));
    for (const auto& name : outputs) fs::remove(temp.file(name));
    ASSERT_TRUE(encodeAlbumSlides(job, inputs, SlideStageOptions{2}));
    for (std::size_t i = 0; i < outputs.size(); ++i)
        EXPECT_TRUE(readBytes(temp.file(outputs[i])) == single[i]) << outputs[i];
    EXPECT_EQ(readFile(temp.file("log2.txt")), singleLog);
    EXPECT_FALSE(exists("temp_d.m1v"));
}

TEST_F(Stages, CancelWithTwoWorkersLeavesNoSegmentOfAPhotoPreparedAhead) {
    std::vector<std::string> photos(10, "rain_drops.jpg");
    album("Many", photos);
    window->onMessage = [&](const testing::ReceivedMessage&, std::size_t count) {
        if (count == 3) job.cancelEvent->set();
    };
    EXPECT_FALSE(encodeAlbumSlides(job, inputs, SlideStageOptions{2}));
    EXPECT_EQ(window->messages().size(), 3u);
    EXPECT_TRUE(exists("menu_01_pic_03.mpg"));
    EXPECT_FALSE(exists("menu_01_pic_04.mpg"));
}

TEST_F(Stages, AlbumWithMusicIsOneSequenceOfStillsOverItsMusic) {
    const std::string music = makeTone(temp, "tone.wav", 7.0);
    ASSERT_FALSE(music.empty());
    album("Music", {"garden.jpg", "fresh_flower.jpg", "green_meadow.jpg", "yellow_flower_portrait.jpg"}, 5, music);
    ASSERT_TRUE(encodeAlbumSlides(job, inputs));
    EXPECT_TRUE(exists("menu_01_pic_01.mpg"));
    for (const char* gone : {"menu_01_pic_01.m1v", "menu_01_pic_01_small.m1v", "menu_01_pic_01.mp2", "menu_01_pic_02.mpg"}) {
        EXPECT_FALSE(exists(gone)) << gone;
    }
    const auto contents = testing::readProgramStream(readBytes(temp.file("menu_01_pic_01.mpg")));
    ASSERT_TRUE(contents.wellFormed) << contents.error;
    for (int stream : {0xE1, 0xE2}) {
        const auto& times = contents.presentationTimes.at(stream);
        ASSERT_EQ(times.size(), 4u) << std::hex << stream;
        for (std::size_t k = 1; k < 4; ++k) EXPECT_EQ(times[k] - times[0], k * 5 * 90000u);
    }
    // 4 photos x 5 s of Layer II audio at 224 kbit/s: 20 s, within one frame.
    const double audioSeconds = contents.payloads.at(0xC0).size() * 8.0 / 224000.0;
    EXPECT_NEAR(audioSeconds, 20.0, 0.03);
}

TEST_F(Stages, CancelDuringAPhotoStopsBeforeTheNext) {
    std::vector<std::string> photos(10, "rain_drops.jpg");
    album("Many", photos);
    window->onMessage = [&](const testing::ReceivedMessage&, std::size_t count) {
        if (count == 3) job.cancelEvent->set();  // while photo 3 is in work
    };
    EXPECT_FALSE(encodeAlbumSlides(job, inputs));
    EXPECT_EQ(window->messages().size(), 3u);
    EXPECT_TRUE(exists("menu_01_pic_03.mpg"));  // the photo in work is finished
    EXPECT_FALSE(exists("menu_01_pic_04.mpg"));
}

TEST_F(Stages, DamagedPhotoStopsTheStageAfterItsMessage) {
    testing::RecordingServices prompt;
    inputs.services = prompt;
    testing::writeFile(temp.file("broken.jpg"), std::string("\xFF\xD8\xFF\xE0 not a jpeg", 15));
    album("Good", {"aqua.jpg"});
    const int second = project.addAlbum("Bad");
    project.addSlide(second, temp.file("broken.jpg"), "broken.jpg", 0);
    EXPECT_FALSE(encodeAlbumSlides(job, inputs));
    EXPECT_EQ(prompt->shown(), std::vector<std::string>{"Error while decoding image :\nError while new image object.\n" +
                                                        temp.file("broken.jpg")});
    EXPECT_TRUE(exists("menu_01_pic_01.mpg"));
}

TEST_F(Stages, NtscSegmentsTakeTheNtscStockStill) {
    inputs.options.tvStandard = TvStandard::NTSC;
    album("One", {"aqua.jpg"});
    ASSERT_TRUE(encodeAlbumSlides(job, inputs));
    const auto stock = testing::readProgramStream(readBytes(temp.file("menu_01_pic_01.mpg")));
    const auto expected = readBytes(kProgramDir + "temp_x.ntsc");
    ASSERT_TRUE(stock.wellFormed);
    const auto& normal = stock.payloads.at(0xE1);
    EXPECT_TRUE(std::search(normal.begin(), normal.end(), expected.begin(), expected.begin() + 64) != normal.end());
}

TEST_F(Stages, MenuPagesFollowTheTemplatePageSizeAndCarryTheMusicWhole) {
    const std::string music = makeTone(temp, "menu.wav", 180.0);
    ASSERT_FALSE(music.empty());
    for (int i = 0; i < 9; ++i) album("Album " + std::to_string(i + 1), {"aqua.jpg"});
    MenuSettings menu = project.menu();
    menu.musicPath = music;
    project.setMenu(menu);
    job.itemsPerPage = 4;
    job.albumCount = 9;
    ASSERT_TRUE(encodeDiscMenu(job, inputs));
    EXPECT_TRUE(exists("menu_01.mpg") && exists("menu_02.mpg") && exists("menu_03.mpg"));
    EXPECT_FALSE(exists("menu_04.mpg"));
    EXPECT_FALSE(exists("bkmusic.mp2"));
    EXPECT_FALSE(exists("temp_d.m1v"));
    const auto page = testing::readProgramStream(readBytes(temp.file("menu_03.mpg")));
    ASSERT_TRUE(page.wellFormed) << page.error;
    EXPECT_NEAR(page.payloads.at(0xC0).size() * 8.0 / 224000.0, 180.0, 0.05);
    const std::string stillPath = temp.file("temp_d.m1v");
    EXPECT_NE(log().find("\n" + music + "\n"), std::string::npos);
    EXPECT_NE(log().find("\nEnd of encode menu music.\nEncode menu_1 file " + stillPath + "\nEnd of Encoding menu_1 file " +
                         stillPath + "\nmultiplex menu files.\nEncode menu_2 file "),
              std::string::npos)
        << log();
}

TEST_F(Stages, MenuWithoutMusicHoldsVideoOnly) {
    album("Solo", {"aqua.jpg"});
    job.itemsPerPage = 4;
    job.albumCount = 1;
    ASSERT_TRUE(encodeDiscMenu(job, inputs));
    const auto page = testing::readProgramStream(readBytes(temp.file("menu_01.mpg")));
    ASSERT_TRUE(page.wellFormed);
    EXPECT_EQ(page.payloads.count(0xC0), 0u);
    EXPECT_EQ(page.presentationTimes.count(0xE2), 1u);
}

}  // namespace
}  // namespace tellavine
