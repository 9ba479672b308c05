#include "compose/menu_page.h"

#include "compose/test_pictures.h"
#include "compose/text_renderer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using ::tellavine::testing::solidPicture;
using ::tellavine::testing::TempDir;
using ::tellavine::testing::writeBmp;
using ::tellavine::testing::writeFile;

constexpr Rgb kBlue{0, 0, 200};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 200, 0};
constexpr Rgb kYellow{230, 230, 0};
constexpr Rgb kBlack{0, 0, 0};

// A 400 x 300 template with four items in a row: frame 80 x 60 with a red window at
// (10, 10) of 60 x 40, which is also the photo area; titles under the frames; white
// titles; next button green, previous yellow.
class MenuPageTest : public ::testing::Test {
protected:
    MenuPageTest() {
        namespace fs = std::filesystem;
        fs::create_directories(dir_.path() / "template" / "probe");
        writeBmp(dir_.file("template/probe/back.bmp"), solidPicture(400, 300, kBlue));
        Picture frame = solidPicture(80, 60, kGrey);
        for (int y = 10; y < 50; ++y)
            for (int x = 10; x < 70; ++x) frame.setPixel(x, y, kRed);
        writeBmp(dir_.file("template/probe/frame.bmp"), frame);
        Picture next = solidPicture(20, 20, kGreen);
        next.setPixel(0, 0, kRed);
        writeBmp(dir_.file("template/probe/next.bmp"), next);
        writeBmp(dir_.file("template/probe/prev.bmp"), solidPicture(20, 20, kYellow));
        writeFile(dir_.file("template/probe.ini"),
                  "[General]\nNAME=Probe\nFolder_name=probe\nBkground_image=back.bmp\nBkground_image_cx=400\n"
                  "Bkground_image_cy=300\nFrame_image=frame.bmp\nframe_cx=80\nframe_cy=60\nFrame_off_x=10\n"
                  "Frame_off_y=10\nimage_cx=60\nimage_cy=40\nText_cx=80\nText_cy=30\nItems_count=4\n"
                  "Next_button=next.bmp\nnext_cx=20\nnext_cy=20\nPrev_button=prev.bmp\nprev_cx=20\nprev_cy=20\n"
                  "[COLOR]\nText_color=16777215\n[POSITIONS]\n"
                  "Item_01_x=10\nItem_01_y=20\nText_01_x=10\nText_01_y=90\n"
                  "Item_02_x=110\nItem_02_y=20\nText_02_x=110\nText_02_y=90\n"
                  "Item_03_x=210\nItem_03_y=20\nText_03_x=210\nText_03_y=90\n"
                  "Item_04_x=310\nItem_04_y=20\nText_04_x=310\nText_04_y=90\n"
                  "Next_button_x=370\nNext_button_y=270\nPrev_button_x=10\nPrev_button_y=270\n");
        MenuSettings menu;
        menu.templatePath = "template\\probe.ini";
        project_.setMenu(menu);
    }

    // Album n (from 1) with one photo of a colour that names it.
    static Rgb albumColour(int n) { return {static_cast<std::uint8_t>(20 * n), 255, static_cast<std::uint8_t>(250 - 20 * n)}; }

    void addAlbums(int count) {
        for (int n = 1; n <= count; ++n) {
            const int index = project_.addAlbum("Album " + std::to_string(n));
            const std::string path = dir_.file("photo" + std::to_string(n) + ".bmp");
            writeBmp(path, solidPicture(300, 200, albumColour(n)));
            project_.addSlide(index, path, "photo", 0);
        }
    }

    Picture page(int firstAlbum, MenuPhotoMode mode = MenuPhotoMode::Full, ThumbnailCache* cache = nullptr) {
        Picture canvas = Picture::create(400, 300);
        drawMenuPage(canvas, {0, 0, 400, 300}, {&project_, dir_.folder(), firstAlbum, mode, cache});
        return canvas;
    }

    // The centre of item n's photo area.
    static Rgb photoCentre(const Picture& p, int n) { return p.pixel(10 + 100 * (n - 1) + 40, 20 + 30); }
    static int titleInk(const Picture& p, int n, int height = 30) {
        int ink = 0;
        for (int y = 90; y < 90 + height; ++y)
            for (int x = 10 + 100 * (n - 1); x < 90 + 100 * (n - 1); ++x) ink += p.pixel(x, y).r > 200;
        return ink;
    }

    TempDir dir_;
    Project project_;
};

TEST_F(MenuPageTest, PagesShowTheirAlbumsAndButtonsByPosition) {
    addAlbums(9);
    const Picture first = page(0);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(photoCentre(first, n), albumColour(n)) << n;
    EXPECT_EQ(first.pixel(380, 280), kGreen);  // next
    EXPECT_EQ(first.pixel(20, 280), kBlue);    // no previous
    EXPECT_EQ(first.pixel(370, 270), kBlue);   // the button's red corner is transparent

    const Picture second = page(4);
    EXPECT_EQ(photoCentre(second, 1), albumColour(5));
    EXPECT_EQ(second.pixel(380, 280), kGreen);
    EXPECT_EQ(second.pixel(20, 280), kYellow);

    const Picture last = page(8);
    EXPECT_EQ(photoCentre(last, 1), albumColour(9));
    EXPECT_EQ(photoCentre(last, 2), kBlue);      // nothing drawn past the last album
    EXPECT_EQ(last.pixel(10 + 100, 20), kBlue);  // not even a frame
    EXPECT_EQ(last.pixel(380, 280), kBlue);
    EXPECT_EQ(last.pixel(20, 280), kYellow);
    EXPECT_GT(titleInk(last, 1), 20);
    // The title numbers the item on its page: "01 Album 9", drawn as the title font draws it.
    Canvas expected(400, 300);
    cairo_set_source_rgb(expected.context(), 0, 0, 200 / 255.0);
    cairo_paint(expected.context());
    TextLine title(expected.context(), menuTitleFont(), "01 Album 9");
    title.ellipsizeTo(80);  // the box is 80 pixels wide
    title.draw(10, 90, makeColourRef(255, 255, 255));
    const Picture reference = expected.toPicture();
    int differing = 0;
    for (int y = 90; y < 120; ++y)
        for (int x = 10; x < 90; ++x) differing += last.pixel(x, y) != reference.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(MenuPageTest, FramesCoverThePhotoExceptWhereTheyArePureRed) {
    addAlbums(1);
    const Picture p = page(0);
    EXPECT_EQ(p.pixel(10 + 5, 20 + 5), kGrey);          // opaque frame edge over everything
    EXPECT_EQ(p.pixel(10 + 10, 20 + 10), albumColour(1));  // the window's first pixel shows the photo
    // A 300 x 200 photo in 60 x 40 fills the area; the grey edge starts right after it.
    EXPECT_EQ(p.pixel(10 + 69, 20 + 49), albumColour(1));
    EXPECT_EQ(p.pixel(10 + 70, 20 + 50), kGrey);
}

TEST_F(MenuPageTest, AnAlbumWithoutSlidesShowsOnlyItsFrame) {
    project_.addAlbum("Empty");
    const Picture p = page(0);
    EXPECT_EQ(photoCentre(p, 1), kBlue);  // the background through the red window
    EXPECT_EQ(p.pixel(15, 25), kGrey);
    EXPECT_EQ(titleInk(p, 1), 0);
}

TEST_F(MenuPageTest, LongTitlesStayInsideTheirBox) {
    addAlbums(1);
    project_.renameAlbum(0, "A very long album title that cannot possibly fit in eighty pixels");
    const Picture p = page(0);
    EXPECT_GT(titleInk(p, 1), 20);
    int outside = 0;
    for (int y = 88; y < 125; ++y)
        for (int x = 90; x < 110; ++x) outside += p.pixel(x, y).r > 200;
    EXPECT_EQ(outside, 0);
    // Ink reaches the right part of the box: the ellipsis ends the shortened line.
    int rightInk = 0;
    for (int y = 90; y < 120; ++y)
        for (int x = 70; x < 90; ++x) rightInk += p.pixel(x, y).r > 200;
    EXPECT_GT(rightInk, 0);
}

TEST_F(MenuPageTest, ATitleBoxTooLowClipsTheText) {
    std::string ini = ::tellavine::testing::readFile(dir_.file("template/probe.ini"));
    ini.replace(ini.find("Text_cy=30"), 10, "Text_cy=6");
    writeFile(dir_.file("template/probe.ini"), ini);
    addAlbums(1);
    const Picture p = page(0);
    EXPECT_GT(titleInk(p, 1, 6), 0);
    int below = 0;
    for (int y = 96; y < 125; ++y)
        for (int x = 10; x < 90; ++x) below += p.pixel(x, y).r > 200;
    EXPECT_EQ(below, 0);
}

TEST_F(MenuPageTest, AUserBackgroundOfAnySizeIsStretchedToTheCanvas) {
    writeBmp(dir_.file("mine.bmp"), solidPicture(37, 23, {200, 0, 200}));
    MenuSettings menu = project_.menu();
    menu.backgroundPicturePath = dir_.file("mine.bmp");
    project_.setMenu(menu);
    const Picture p = page(0);
    EXPECT_EQ(p.pixel(0, 0), (Rgb{200, 0, 200}));
    EXPECT_EQ(p.pixel(399, 299), (Rgb{200, 0, 200}));
}

TEST_F(MenuPageTest, ScreenModeUsesOneCachedThumbnailPerPhotoAndRotation) {
    addAlbums(2);
    project_.album(1).slides.front()->rotation = 90;
    ThumbnailCache cache(1 << 20);
    const Picture p = page(0, MenuPhotoMode::Screen, &cache);
    EXPECT_EQ(photoCentre(p, 1), albumColour(1));
    EXPECT_EQ(cache.entryCount(), 2u);
    const auto landscape = cache.find(dir_.file("photo1.bmp"), 0);
    ASSERT_TRUE(landscape);
    EXPECT_EQ(landscape->width(), 240);
    EXPECT_EQ(landscape->height(), 160);
    const auto portrait = cache.find(dir_.file("photo2.bmp"), 90);
    ASSERT_TRUE(portrait);
    EXPECT_EQ(portrait->width(), 120);  // 200 x 300 after the turn: 180 high
    EXPECT_EQ(portrait->height(), 180);
    page(0, MenuPhotoMode::Screen, &cache);
    EXPECT_EQ(cache.entryCount(), 2u);
}

TEST_F(MenuPageTest, MissingPicturesAreSkippedAndThePageIsStillDrawn) {
    addAlbums(1);
    std::filesystem::remove(dir_.file("template/probe/frame.bmp"));
    std::filesystem::remove(dir_.file("photo1.bmp"));
    const Picture p = page(0);
    EXPECT_EQ(p.pixel(15, 25), kBlue);
    EXPECT_GT(titleInk(p, 1), 20);  // the title is drawn without the photo
}

TEST_F(MenuPageTest, TheEncodedPageSitsInTheSafeAreaOnBlack) {
    // A 768 x 576 canvas with PAL, 4:3 and crop 5: scaled to 729 x 547, centred.
    std::string ini = ::tellavine::testing::readFile(dir_.file("template/probe.ini"));
    ini.replace(ini.find("Bkground_image_cx=400"), 21, "Bkground_image_cx=768");
    ini.replace(ini.find("Bkground_image_cy=300"), 21, "Bkground_image_cy=576");
    writeFile(dir_.file("template/probe.ini"), ini);
    writeBmp(dir_.file("template/probe/back.bmp"), solidPicture(50, 50, {255, 255, 255}));
    const StillFrame frame = composeMenuFrame({&project_, dir_.folder(), 0, TvStandard::PAL, AspectCorrection::Aspect4x3, 5});
    ASSERT_TRUE(frame.valid());
    EXPECT_EQ(frame.width, 704);
    EXPECT_EQ(frame.height, 576);
    // 14 black rows at the bottom, 547 page rows, 15 black rows at the top.
    EXPECT_EQ(frame.pixelFromTop(352, 575 - 13), kBlack);
    EXPECT_EQ(frame.pixelFromTop(352, 575 - 14), (Rgb{255, 255, 255}));
    EXPECT_EQ(frame.pixelFromTop(352, 15), (Rgb{255, 255, 255}));
    EXPECT_EQ(frame.pixelFromTop(352, 14), kBlack);
    EXPECT_EQ(frame.pixelFromTop(5, 300), kBlack);  // 19 of 768 columns, squeezed
    EXPECT_EQ(frame.pixelFromTop(30, 300), (Rgb{255, 255, 255}));
}

TEST_F(MenuPageTest, TemplateThumbnailsShowBackgroundAndFramesOnly) {
    addAlbums(4);
    Picture thumb = Picture::create(128, 96);
    drawTemplateThumbnail(thumb, {0, 0, 128, 96}, dir_.folder(), "probe.ini", "");
    // 400 x 300 into 128 x 96: the first frame's grey edge and its open window.
    EXPECT_NEAR(thumb.pixel(1, 1).b, 200, 2);
    const Rgb edge = thumb.pixel(10 * 128 / 400 + 1, 20 * 96 / 300 + 1);
    EXPECT_NEAR(edge.r, 128, 30);
    EXPECT_NEAR(thumb.pixel(50 * 128 / 400, 50 * 96 / 300).b, 200, 2);  // no photo in the window
}

}  // namespace
}  // namespace tellavine
