#include "project/model.h"

#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {


const char* kDuplicate = "An album with the name you specified already exists. Please specify a different name.";

TEST(ProjectAlbums, NamesAreUniqueWithoutRegardToCase) {
    testing::RecordingServices prompt;
    Project project;
    project.setServices(prompt);
    ASSERT_EQ(project.addAlbum("Summer"), 0);
    ASSERT_EQ(project.addAlbum("Winter"), 1);
    AlbumRefusal why{};
    EXPECT_EQ(project.addAlbum("WINTER", &why), -1);  // the current album's name too
    EXPECT_EQ(why, AlbumRefusal::DuplicateName);
    EXPECT_EQ(project.addAlbum("summer"), -1);
    EXPECT_EQ(project.addAlbum("Äpfel"), 2);
    EXPECT_EQ(project.addAlbum("äPFEL"), -1);
    EXPECT_EQ(prompt->shown(), (std::vector<std::string>{kDuplicate, kDuplicate, kDuplicate}));

    EXPECT_TRUE(project.renameAlbum(1, "winter"));  // itself, other case
    EXPECT_TRUE(project.renameAlbum(1, "Winter"));
    EXPECT_FALSE(project.renameAlbum(1, "SUMMER"));
    EXPECT_EQ(project.album(1).name, "Winter");
    EXPECT_FALSE(project.setAlbumProperties(0, "winter", 5, ""));
    EXPECT_EQ(project.album(0).playTime, 4);
}

TEST(ProjectAlbums, HundredthAlbumIsRefused) {
    testing::RecordingServices prompt;
    Project project;
    project.setServices(prompt);
    for (int i = 0; i < kMaxAlbums; ++i) ASSERT_EQ(project.addAlbum("Album " + std::to_string(i)), i);
    AlbumRefusal why{};
    EXPECT_EQ(project.addAlbum("One more", &why), -1);
    EXPECT_EQ(why, AlbumRefusal::TooManyAlbums);
    EXPECT_EQ(prompt->shown().back(), "The max. album number has been reached. Cannot add more albums.");
    EXPECT_EQ(project.albumCount(), 99);
}

TEST(ProjectAlbums, RemovingTheMiddleAlbumKeepsEachOthersRecord) {
    testing::RecordingServices prompt;
    testing::TempDir dir;
    testing::writeFile(dir.file("a.wav"), std::string(1000, 'x'));
    Project project;
    project.setServices(prompt);
    for (const char* name : {"One", "Two", "Three"}) project.addAlbum(name);
    project.setAlbumProperties(0, "One", 7, "");
    project.setAlbumProperties(2, "Three", 11, dir.file("a.wav"));
    project.addSlide(0, "/p/1.jpg", "1.jpg", 0);
    project.setCurrentAlbum(2);
    project.addSlide(2, "/p/3a.jpg", "3a.jpg", 90);
    project.addSlide(2, "/p/3b.jpg", "3b.jpg", 0);

    project.removeAlbum(1);
    ASSERT_EQ(project.albumCount(), 2);
    EXPECT_EQ(project.album(0).name, "One");
    EXPECT_EQ(project.album(0).playTime, 7);
    ASSERT_EQ(project.album(0).slides.size(), 1u);
    EXPECT_EQ(project.album(1).name, "Three");
    EXPECT_EQ(project.album(1).playTime, 11);
    EXPECT_EQ(project.album(1).musicPath, dir.file("a.wav"));
    EXPECT_EQ(project.album(1).musicLength, 1000);
    ASSERT_EQ(project.album(1).slides.size(), 2u);
    EXPECT_EQ(project.album(1).slides[0]->displayName, "3a.jpg");
    EXPECT_TRUE(project.album(1).slides[0]->rotated);
    EXPECT_EQ(project.currentAlbum(), 1);  // the last album becomes current
    project.removeAlbum(0);
    project.removeAlbum(0);
    EXPECT_EQ(project.currentAlbum(), -1);
}

TEST(ProjectAlbums, MusicLengthComesFromTheQueryOrTheWavSize) {
    testing::RecordingServices prompt;
    testing::TempDir dir;
    testing::writeFile(dir.file("song.MP3"), "x");
    Project project;
    project.setServices(prompt);
    project.addAlbum("A");
    project.setMusicLengthQuery([](const std::string&) { return std::optional<std::int32_t>(27 * 176400); });
    project.setAlbumProperties(0, "A", 4, dir.file("song.MP3"));
    EXPECT_EQ(project.album(0).musicLength, 27 * 176400);

    project.setMusicLengthQuery([](const std::string&) { return std::optional<std::int32_t>(); });
    project.setAlbumProperties(0, "A", 4, dir.file("song.MP3"));
    EXPECT_EQ(project.album(0).musicLength, 0);
    EXPECT_EQ(project.album(0).musicPath, dir.file("song.MP3"));  // the music stays set
    project.setAlbumProperties(0, "A", 4, dir.file("missing.wav"));
    EXPECT_EQ(prompt->shown(), (std::vector<std::string>{"Error while getting the length of the music file.",
                                                          "Error while getting the length of the wav file."}));
    project.clearAlbumMusic(0);
    EXPECT_FALSE(project.album(0).hasMusic());
}

TEST(ProjectSlides, PhotoLimitIsTestedOnTheCurrentAlbum) {
    testing::RecordingServices prompt;
    Project project;
    project.setServices(prompt);
    project.addAlbum("Full");
    for (int i = 0; i < kMaxSlidesPerAlbum; ++i) ASSERT_NE(project.addSlide(0, "p.jpg", "p.jpg", 0), nullptr);
    EXPECT_EQ(project.addSlide(0, "p.jpg", "p.jpg", 0), nullptr);
    EXPECT_EQ(prompt->shown(), std::vector<std::string>{"Max. 1980 photos for each album."});
    project.addAlbum("Empty");  // becomes current
    EXPECT_NE(project.addSlide(1, "q.jpg", "q.jpg", 0), nullptr);
    EXPECT_EQ(project.totalPhotoCount(), 1981);
}

TEST(ProjectSlides, NewSlideCarriesTheCaptionDefaults) {
    Project project;
    project.addAlbum("A");
    Slide* slide = project.addSlide(0, "/p/x.jpg", "x.jpg", 0);
    ASSERT_NE(slide, nullptr);
    EXPECT_FALSE(slide->rotated);
    EXPECT_FALSE(slide->hasCaption);
    const auto& caption = slide->caption;
    EXPECT_EQ(caption.font.face(), "Comic Sans MS");
    EXPECT_EQ(caption.font.height, -16);
    EXPECT_EQ(caption.font.weight, 800);
    EXPECT_EQ(caption.font.pitchAndFamily, 0x22);
    EXPECT_EQ(caption.x, -1);
    EXPECT_EQ(caption.y, -1);
    EXPECT_EQ(caption.textColour, 0xFFFFFFu);
    EXPECT_TRUE(caption.shadow);
    EXPECT_EQ(caption.shadowColour, 0u);
    EXPECT_EQ(caption.align, CaptionAlign::BottomCenter);
}

TEST(ProjectSlides, RotationCyclesBothWays) {
    Project project;
    project.addAlbum("A");
    Slide& slide = *project.addSlide(0, "x.jpg", "x.jpg", 0);
    for (int expected : {90, 180, 270, 0}) {
        project.rotateClockwise(slide);
        EXPECT_EQ(slide.rotation, expected);
        EXPECT_EQ(slide.rotated, expected != 0);
    }
    project.rotateCounterClockwise(slide);
    EXPECT_EQ(slide.rotation, 270);
    EXPECT_TRUE(slide.rotated);
    project.rotateCounterClockwise(slide);
    project.rotateCounterClockwise(slide);
    project.rotateCounterClockwise(slide);
    EXPECT_EQ(slide.rotation, 0);
    EXPECT_FALSE(slide.rotated);
}

TEST(ProjectSlides, RemovalKeepsTheOthersInOrder) {
    Project project;
    project.addAlbum("A");
    Slide* a = project.addSlide(0, "a", "a", 0);
    Slide* b = project.addSlide(0, "b", "b", 0);
    Slide* c = project.addSlide(0, "c", "c", 0);
    project.removeSlides(0, {a, c});
    ASSERT_EQ(project.album(0).slides.size(), 1u);
    EXPECT_EQ(project.album(0).slides[0].get(), b);  // the surviving slide kept its address
    project.removeAllSlides(0);
    EXPECT_TRUE(project.album(0).slides.empty());
}

TEST(ProjectSlides, OnlyMovingACaptionMakesItUserDefined) {
    Project project;
    project.addAlbum("A");
    Slide& slide = *project.addSlide(0, "a", "a", 0);
    SlideCaption caption;
    caption.text = "Hello";
    caption.align = CaptionAlign::UserDefined;
    caption.x = 10;
    caption.y = 20;
    project.setCaption(slide, caption);
    EXPECT_TRUE(slide.hasCaption);
    EXPECT_EQ(slide.caption.align, CaptionAlign::BottomCenter);
    project.moveCaption(slide, 5, -3);
    EXPECT_EQ(slide.caption.align, CaptionAlign::UserDefined);
    EXPECT_EQ(slide.caption.x, 15);
    EXPECT_EQ(slide.caption.y, 17);
    // Editing the text of a caption placed by hand keeps its place.
    SlideCaption edited = slide.caption;
    edited.text = "Hello again";
    project.setModified(false);
    project.replaceCaption(slide, edited);
    EXPECT_EQ(slide.caption.align, CaptionAlign::UserDefined);
    EXPECT_EQ(slide.caption.x, 15);
    EXPECT_TRUE(project.modified());
    // Hiding the caption keeps it for showing again.
    project.setModified(false);
    project.setCaptionShown(slide, false);
    EXPECT_FALSE(slide.hasCaption);
    EXPECT_EQ(slide.caption.text, "Hello again");
    EXPECT_TRUE(project.modified());
}

TEST(ProjectDefaults, DefaultPlayTimeFollowsOnlyAlbumsStillAtTheOldDefault) {
    Project project;
    project.addAlbum("A");
    project.addAlbum("B");
    project.setAlbumProperties(1, "B", 10, "");
    project.setDefaultPlayTime(4, 6);
    EXPECT_EQ(project.album(0).playTime, 6);
    EXPECT_EQ(project.album(1).playTime, 10);
    project.addAlbum("C");
    EXPECT_EQ(project.album(2).playTime, 6);  // new albums start with the new default
}

TEST(ProjectState, ChangesMarkTheProjectAndRefreshTheStatusLine) {
    Project project;
    std::vector<std::string> lines;
    project.setStatusCallback([&](const std::string& line) { lines.push_back(line); });
    EXPECT_FALSE(project.modified());
    project.addAlbum("A");
    project.addSlide(0, "a", "a", 0);
    EXPECT_TRUE(project.modified());
    EXPECT_EQ(lines.back(), "Total : 1 Albums, 1 Photos");
    project.setModified(false);
    project.setMenuMusic("");
    EXPECT_TRUE(project.modified());
    project.clear();
    EXPECT_EQ(project.albumCount(), 0);
    EXPECT_EQ(project.currentAlbum(), 0);
    EXPECT_EQ(project.menu().templatePath, "template\\classic.ini");
}

TEST(ProjectState, MenuPagesRoundUpAndNeedAPageSize) {
    Project project;
    for (int i = 0; i < 7; ++i) project.addAlbum("A" + std::to_string(i));
    EXPECT_EQ(project.menuPageCount(), 0);  // no usable page size yet
    project.setItemsPerPage(6);
    EXPECT_EQ(project.menuPageCount(), 2);
    project.setItemsPerPage(7);
    EXPECT_EQ(project.menuPageCount(), 1);
}

TEST(ProjectState, LongTextsAreCutToTheirFields) {
    Project project;
    project.addAlbum(std::string(300, 'n'));
    EXPECT_EQ(project.album(0).name.size(), kMaxTextLength);
    Slide* slide = project.addSlide(0, std::string(400, 'p'), "x", 0);
    EXPECT_EQ(slide->path.size(), kMaxTextLength);
}

}  // namespace
}  // namespace tellavine
