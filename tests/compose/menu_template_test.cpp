#include "compose/menu_template.h"

#include "compose/canvas.h"
#include "compose/text_renderer.h"
#include "imaging/codec.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using ::tellavine::testing::TempDir;
using ::tellavine::testing::writeFile;

class MenuTemplateTest : public ::testing::Test {
protected:
    MenuTemplateTest() { std::filesystem::create_directories(dir_.path() / "Template" / "Blue"); }
    void write(const std::string& name, const std::string& text) { writeFile(dir_.file("Template/" + name), text); }
    TempDir dir_;
};

TEST_F(MenuTemplateTest, EveryKeyIsReadAndPicturesResolveToFullPaths) {
    writeFile(dir_.file("Template/Blue/Back.png"), "x");
    write("blue.ini",
          "[General]\nNAME=Blue sky\nFolder_name=blue\nBkground_image=back.png\nBkground_image_cx=800\n"
          "Bkground_image_cy=600\nFrame_image=frame.bmp\nframe_cx=120\nframe_cy=90\nFrame_off_x=6\nFrame_off_y=7\n"
          "image_cx=108\nimage_cy=76\nText_cx=120\nText_cy=30\nItems_count=2\nNext_button=n.bmp\nnext_cx=40\n"
          "next_cy=20\nPrev_button=p.bmp\nprev_cx=41\nprev_cy=21\n[COLOR]\nText_color=255\n[POSITIONS]\n"
          "Item_01_x=10\nItem_01_y=11\nText_01_x=12\nText_01_y=13\nItem_02_x=200\nItem_02_y=201\n"
          "Text_02_x=202\nText_02_y=203\nNext_button_x=700\nNext_button_y=500\nPrev_button_x=20\nPrev_button_y=501\n");
    const MenuTemplate t = readTemplate(dir_.folder(), "template\\blue.ini");
    EXPECT_EQ(t.name, "Blue sky");
    // The real spelling of folder and file is found whatever the letter case in the file.
    EXPECT_EQ(t.backgroundImage, dir_.file("Template/Blue/Back.png"));
    EXPECT_EQ(t.frameImage, dir_.file("Template/Blue/frame.bmp"));
    EXPECT_EQ(t.canvasWidth, 800);
    EXPECT_EQ(t.canvasHeight, 600);
    EXPECT_EQ(t.frameWidth, 120);
    EXPECT_EQ(t.frameOffsetY, 7);
    EXPECT_EQ(t.imageHeight, 76);
    EXPECT_EQ(t.textHeight, 30);
    EXPECT_EQ(t.prevWidth, 41);
    EXPECT_EQ(t.textColour, 255u);
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[1], (TemplatePoint{200, 201}));
    EXPECT_EQ(t.texts[0], (TemplatePoint{12, 13}));
    EXPECT_EQ(t.nextPosition, (TemplatePoint{700, 500}));
    EXPECT_EQ(t.prevPosition, (TemplatePoint{20, 501}));
    EXPECT_EQ(templateItemsPerPage(dir_.folder(), "template/blue.ini"), 2);
    // A bare file name is looked up in the template folder.
    EXPECT_EQ(readTemplate(dir_.folder(), "blue.ini").name, "Blue sky");
}

TEST_F(MenuTemplateTest, MissingFilesKeysAndNumbersGiveTheDefaults) {
    const MenuTemplate none = readTemplate(dir_.folder(), "template\\missing.ini");
    EXPECT_EQ(none.name, "Template");
    EXPECT_EQ(none.canvasWidth, 768);
    EXPECT_EQ(none.canvasHeight, 576);
    EXPECT_TRUE(none.backgroundImage.empty());
    EXPECT_FALSE(none.usable());

    write("odd.ini", "[General]\nItems_count=1\nBkground_image_cx=wide\nBkground_image_cy=-5\nframe_cx=99999\n");
    const MenuTemplate odd = readTemplate(dir_.folder(), "template\\odd.ini");
    EXPECT_EQ(odd.canvasWidth, 768);     // not a number
    EXPECT_EQ(odd.canvasHeight, -5);     // kept as written ...
    EXPECT_EQ(odd.drawHeight(), 576);    // ... but drawn at the default
    EXPECT_EQ(odd.frameWidth, kMaxTemplateSide);
    EXPECT_EQ(odd.textColour, 0u);       // no COLOR section: black titles
}

TEST_F(MenuTemplateTest, TemplatesWithoutItemsFallBackToTheClassicTemplate) {
    write("classic.ini", "[General]\nNAME=Classic\nItems_count=4\n");
    write("empty.ini", "[General]\nNAME=Empty\nItems_count=0\n");
    write("negative.ini", "[General]\nNAME=Negative\nItems_count=-3\n");
    for (const char* file : {"template\\empty.ini", "template\\negative.ini"}) {
        std::string notice;
        const MenuTemplate t = readUsableTemplate(dir_.folder(), file, &notice);
        EXPECT_EQ(t.name, "Classic");
        EXPECT_NE(notice.find("classic"), std::string::npos);
        EXPECT_EQ(templateItemsPerPage(dir_.folder(), file), 4);
    }
    std::string notice;
    readUsableTemplate(dir_.folder(), "template\\classic.ini", &notice);
    EXPECT_TRUE(notice.empty());
    // A huge count would overflow the page arithmetic (no menu pages at all).
    write("huge.ini", "[General]\nItems_count=2147483647\n");
    EXPECT_EQ(templateItemsPerPage(dir_.folder(), "template\\huge.ini"), kMaxTemplateItems);
    std::filesystem::remove(dir_.file("Template/classic.ini"));
    EXPECT_EQ(templateItemsPerPage(dir_.folder(), "template\\empty.ini"), 1);  // never a zero divisor
}

TEST_F(MenuTemplateTest, ListingShowsEveryDescriptionFileWithItsName) {
    write("b.ini", "[General]\nNAME=Bee\n");
    write("A.INI", "[General]\nFolder_name=a\n");
    write("notes.txt", "x");
    const auto list = listTemplates(dir_.folder());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].fileName, "A.INI");
    EXPECT_EQ(list[0].name, "Template");
    EXPECT_EQ(list[1].name, "Bee");
    EXPECT_TRUE(listTemplates(dir_.file("nowhere") + "/").empty());
}

// The templates we ship: each is complete and its artwork agrees with its description.
TEST(ShippedTemplates, AreCompleteAndTheirFramesOpenOverThePhotoArea) {
    const std::string programDir = std::string(TELLAVINE_SOURCE_DIR) + "/data/";
    const auto list = listTemplates(programDir);
    ASSERT_GE(list.size(), 4u);
    bool hasClassic = false;
    Canvas probe(10, 10);
    for (const auto& entry : list) {
        SCOPED_TRACE(entry.fileName);
        hasClassic |= entry.fileName == "classic.ini";
        const MenuTemplate t = readTemplate(programDir, "template\\" + entry.fileName);
        EXPECT_NE(t.name, "Template");
        EXPECT_GE(t.itemsCount, 4);
        EXPECT_LE(t.itemsCount, 6);
        const Picture background = loadPicture(t.backgroundImage).picture;
        EXPECT_EQ(background.width(), t.canvasWidth);
        const Picture frame = loadPicture(t.frameImage).picture;
        ASSERT_TRUE(frame.valid());
        EXPECT_GE(frame.width(), t.frameWidth);
        // The whole photo area is pure red in the frame, and the frame's edge is not.
        for (int y = t.frameOffsetY; y < t.frameOffsetY + t.imageHeight; y += 7)
            for (int x = t.frameOffsetX; x < t.frameOffsetX + t.imageWidth; x += 7)
                ASSERT_EQ(frame.pixel(x, y), (Rgb{255, 0, 0}));
        EXPECT_NE(frame.pixel(0, 0), (Rgb{255, 0, 0}));
        for (const std::string& button : {t.nextButton, t.prevButton}) {
            const Picture picture = loadPicture(button).picture;
            ASSERT_TRUE(picture.valid());
            int red = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) red += picture.pixel(x, y) == Rgb{255, 0, 0};
            const int all = picture.width() * picture.height();
            EXPECT_GT(red, 0);    // some of it is see-through ...
            EXPECT_LT(red, all);  // ... and some of it shows
            // No reddish fringe: every opaque pixel is clearly not the key colour.
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const Rgb c = picture.pixel(x, y);
                    if (c != Rgb{255, 0, 0}) {
                        ASSERT_FALSE(c.r > 200 && c.g < 60 && c.b < 60) << x << "," << y;
                    }
                }
        }
        // Items, titles and buttons lie on the canvas; a title line fits its box.
        LogFont titleFont;
        titleFont.setFace("Arial");
        titleFont.height = 24;
        EXPECT_GE(t.textHeight, TextLine(probe.context(), titleFont, "01 Holiday").height());
        for (int n = 0; n < t.itemsCount; ++n) {
            EXPECT_LE(t.items[n].x + t.frameWidth, t.canvasWidth);
            EXPECT_LE(t.items[n].y + t.frameHeight, t.canvasHeight);
            EXPECT_LE(t.texts[n].y + t.textHeight, t.canvasHeight);
        }
        EXPECT_LE(t.nextPosition.x + t.nextWidth, t.canvasWidth);
        EXPECT_LE(t.nextPosition.y + t.nextHeight, t.canvasHeight);
    }
    EXPECT_TRUE(hasClassic);
}

}  // namespace
}  // namespace tellavine
