#include "pipeline/folder_project.h"

#include "project/strings.h"
#include "support/exif_fixture.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tellavine {
namespace {

namespace fs = std::filesystem;

struct OrderCase {
    const char* before;
    const char* after;
};

class NaturalOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(NaturalOrder, PutsTheFirstBeforeTheSecond) {
    EXPECT_TRUE(naturalLess(GetParam().before, GetParam().after));
    EXPECT_FALSE(naturalLess(GetParam().after, GetParam().before));
}

INSTANTIATE_TEST_SUITE_P(FolderProject, NaturalOrder,
                         ::testing::Values(OrderCase{"2", "10"}, OrderCase{"photo 9.jpg", "photo 10.jpg"},
                                           OrderCase{"IMG_0099", "img_100"}, OrderCase{"a", "B"},
                                           OrderCase{"day 2 b", "day 02 c"}, OrderCase{"x", "x1"},
                                           OrderCase{"99999999999999999999", "100000000000000000000"},
                                           // equal but for letter case or leading zeros: byte order decides
                                           OrderCase{"A", "a"}, OrderCase{"02", "2"}));

class FolderProjectTest : public ::testing::Test {
protected:
    FolderProjectTest() { project.setServices(services); }

    void touch(const std::string& relative, const std::string& content = "") {
        fs::create_directories((dir.path() / relative).parent_path());
        testing::writeFile(dir.file(relative), content);
    }
    std::string make(FolderProjectOptions options = {}) { return makeProjectFromFolder(project, dir.folder() + "Trip", options); }
    std::vector<std::string> photoNames(int album) const {
        std::vector<std::string> names;
        for (const auto& slide : project.album(album).slides) names.push_back(slide->displayName);
        return names;
    }
    bool shown(const std::string& part) {
        const auto texts = services->shown();
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) { return text.find(part) != std::string::npos; });
    }

    testing::TempDir dir;
    testing::RecordingServices services;
    Project project;
};

TEST_F(FolderProjectTest, AlbumsPhotosAndMusicFollowTheFolders) {
    touch("Trip/loose.png");
    touch("Trip/menu.mp3");
    touch("Trip/10 Sea/b.JPG");
    touch("Trip/10 Sea/a.jpeg");
    touch("Trip/10 Sea/.hidden.jpg");
    touch("Trip/10 Sea/notes.txt");
    touch("Trip/10 Sea/deeper/x.jpg");
    touch("Trip/2 Hills/photo 10.tif");
    touch("Trip/2 Hills/photo 9.gif");
    touch("Trip/2 Hills/song.WAV");
    touch("Trip/2 Hills/drawing.wmf");  // known, but no reader takes it
    touch("Trip/.secret/a.jpg");
    touch("Trip/Empty/readme.txt");
    touch("Elsewhere/outside.jpg");
    fs::create_symlink("../../Elsewhere/outside.jpg", dir.path() / "Trip/10 Sea/link-out.jpg");
    fs::create_symlink("../2 Hills/photo 9.gif", dir.path() / "Trip/10 Sea/link-in.jpg");
    fs::create_symlink("../Elsewhere", dir.path() / "Trip/Away");

    FolderProjectOptions options;
    options.playTime = 7;
    options.captions = CaptionSource::FileName;
    ASSERT_EQ(make(options), "");
    ASSERT_EQ(project.albumCount(), 3);
    EXPECT_EQ(project.album(0).name, "Trip");
    EXPECT_EQ(photoNames(0), std::vector<std::string>{"loose.png"});
    EXPECT_EQ(project.album(1).name, "2 Hills");
    EXPECT_EQ(photoNames(1), (std::vector<std::string>{"photo 9.gif", "photo 10.tif"}));
    EXPECT_EQ(project.album(1).musicPath, dir.file("Trip/2 Hills/song.WAV"));
    EXPECT_EQ(project.album(2).name, "10 Sea");
    EXPECT_EQ(photoNames(2), (std::vector<std::string>{"a.jpeg", "b.JPG", "link-in.jpg"}));
    EXPECT_EQ(project.album(2).slides[0]->path, dir.file("Trip/10 Sea/a.jpeg"));
    EXPECT_EQ(project.album(2).playTime, 7);
    EXPECT_FALSE(project.album(2).hasMusic());
    EXPECT_TRUE(project.album(2).slides[1]->hasCaption);
    EXPECT_EQ(project.album(2).slides[1]->caption.text, "b");
    EXPECT_EQ(project.menu().musicPath, dir.file("Trip/menu.mp3"));
    EXPECT_TRUE(shown("link-out.jpg: the link leads outside"));
    EXPECT_TRUE(shown("Away: the link leads outside"));
    EXPECT_TRUE(shown("deeper"));
    EXPECT_TRUE(shown("Empty holds no pictures"));
}

TEST_F(FolderProjectTest, DateTakenOrderPutsUndatedPhotosLastInNameOrder) {
    touch("Trip/c.jpg", testing::jpegWithDateTaken("2020:05:01 10:00:00"));
    touch("Trip/a.jpg", testing::jpegWithDateTaken("2021:01:01 09:00:00"));
    touch("Trip/d.jpg");
    touch("Trip/b.jpg", testing::jpegWithDateTaken("2019:12:24 18:00:00"));
    touch("Trip/a2.jpg");
    FolderProjectOptions options;
    options.order = PhotoOrder::DateTaken;
    ASSERT_EQ(make(options), "");
    EXPECT_EQ(photoNames(0), (std::vector<std::string>{"b.jpg", "c.jpg", "a.jpg", "a2.jpg", "d.jpg"}));
}

TEST_F(FolderProjectTest, WhatTheLimitsLeaveOutIsNamed) {
    for (int i = 1; i < kMaxAlbums; ++i) touch("Trip/Album " + std::to_string(i) + "/a.jpg");
    for (int i = 1; i <= kMaxSlidesPerAlbum + 2; ++i) touch("Trip/Full/" + std::to_string(i) + ".jpg");
    touch("Trip/Zed/a.jpg");
    ASSERT_EQ(make(), "");
    ASSERT_EQ(project.albumCount(), kMaxAlbums);
    const Album& full = project.album(kMaxAlbums - 1);
    EXPECT_EQ(full.name, "Full");
    EXPECT_EQ(full.slides.size(), static_cast<std::size_t>(kMaxSlidesPerAlbum));
    EXPECT_EQ(full.slides.back()->displayName, "1980.jpg");
    EXPECT_TRUE(shown(builtInString(IDS_MAX_PHOTOS)));
    EXPECT_TRUE(shown("left out: 1981.jpg, 1982.jpg."));
    EXPECT_TRUE(shown(builtInString(IDS_MAX_ALBUMS)));
    EXPECT_TRUE(shown("Left out: Trip/Zed."));
}

TEST_F(FolderProjectTest, MusicChoiceLongPathsAndTakenNamesAreExplained) {
    touch("Trip/Two songs/a.jpg");
    touch("Trip/Two songs/one.mp3");
    touch("Trip/Two songs/two.wav");
    touch("Trip/trip/a.jpg");  // the root album is "Trip"
    touch("Trip/trip.jpg");
    touch("Trip/" + std::string(250, 'x') + "/a.jpg");  // the photo's path passes 259 bytes
    ASSERT_EQ(make(), "");
    ASSERT_EQ(project.albumCount(), 3);
    EXPECT_EQ(project.album(0).name, "Trip");
    EXPECT_EQ(project.album(1).name, "trip (2)");
    EXPECT_EQ(project.album(2).musicPath, dir.file("Trip/Two songs/one.mp3"));
    EXPECT_TRUE(shown("plays one.mp3 and leaves out two.wav"));
    EXPECT_TRUE(shown("longer than 259 bytes: a.jpg"));
    EXPECT_TRUE(shown("is named \"trip (2)\""));
}

TEST_F(FolderProjectTest, AFolderWithoutPicturesIsRefused) {
    touch("Trip/notes.txt");
    EXPECT_NE(make().find("there are no pictures in"), std::string::npos);
    EXPECT_NE(makeProjectFromFolder(project, dir.file("missing"), {}).find("cannot read the folder"), std::string::npos);
    EXPECT_EQ(project.albumCount(), 0);
}

}  // namespace
}  // namespace tellavine
