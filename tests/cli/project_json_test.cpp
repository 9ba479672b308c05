#include "cli/project_json.h"

#include "project/project_file.h"
#include "support/recording_prompt.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tellavine::cli {
namespace {

// A project with every field of the file away from its default.
void fillEveryField(Project& project) {
    MenuSettings menu;
    menu.templatePath = "template\\elsewhere.ini";  // not on this machine: kept as written
    menu.musicPath = "/music/menu \"quoted\".mp3";
    menu.musicLength = 123456;
    menu.backgroundPicturePath = "/pictures/back.png";
    project.setMenu(menu);
    Album album;
    album.name = "Été à Kraków 日本";
    album.playTime = 120;
    album.musicPath = "/music/a.wav";
    album.musicLength = 2147483647;
    const int first = project.appendAlbum(std::move(album));
    Slide* slide = project.addSlide(first, "/p/tab\there.jpg", "tab\there.jpg", 270);
    slide->hasCaption = true;
    SlideCaption& caption = slide->caption;
    caption.text = "Line\nbreak \\ and \"quotes\"";
    caption.x = -2147483647 - 1;
    caption.y = 2147483647;
    caption.textColour = 0x01123456;  // a palette colour keeps its top byte
    caption.pointSize = 115;
    caption.shadow = false;
    caption.shadowColour = 0x00ABCDEF;
    caption.align = CaptionAlign::UserDefined;
    caption.font.height = 40;
    caption.font.width = -3;
    caption.font.escapement = 900;
    caption.font.orientation = 1800;
    caption.font.weight = 300;
    caption.font.italic = 1;
    caption.font.underline = 255;
    caption.font.strikeOut = 1;
    caption.font.charSet = 128;
    caption.font.outPrecision = 7;
    caption.font.clipPrecision = 9;
    caption.font.quality = 5;
    caption.font.pitchAndFamily = 0x31;
    caption.font.setFace("DejaVu Sans Mono Bold Oblique X");  // 31 bytes
    Slide* plain = project.addSlide(first, "/p/plain.jpg", "plain.jpg", 0);
    plain->caption.text = "kept but not shown";
    project.addSlide(first, "/p/untouched.jpg", "untouched.jpg", 90);
    Album empty;
    empty.name = "";
    empty.playTime = 0;
    project.appendAlbum(std::move(empty));
}

TEST(ProjectJson, EveryFieldRoundTripsToTheSameFile) {
    testing::RecordingServices services;
    Project original;
    original.setServices(services);
    fillEveryField(original);
    const auto bytes = serializeProject(original);

    Project read;  // as show reads it: from the file's bytes, template kept
    read.setServices(services);
    ASSERT_EQ(loadProjectBytes(read, bytes, "/nowhere/", nullptr, MissingTemplate::Keep), ProjectReadResult::Loaded);
    const std::string json = projectToJson(read, discSummary(kSectors74Minutes + 1));
    const auto parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["disc"]["fits74Minutes"], false);
    EXPECT_EQ(parsed["disc"]["fits80Minutes"], true);
    EXPECT_EQ(parsed["albums"][0]["photos"][2].count("caption"), 0u) << "a default caption is left out";

    Project imported;
    imported.setServices(services);
    std::string error;
    ASSERT_TRUE(projectFromJson(imported, json, error)) << error << "\n" << json;
    EXPECT_EQ(serializeProject(imported), bytes) << json;
    EXPECT_TRUE(services->shown().empty());
}

TEST(ProjectJson, TextsThatAreNotUtf8GiveValidJson) {
    Project project;
    project.appendAlbum(Album{"Caf\xE9", 4, "", 0, {}});
    const std::string json = projectToJson(project, std::nullopt);
    const auto parsed = nlohmann::json::parse(json, nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << json;
    EXPECT_EQ(parsed["albums"][0]["name"], "Caf\xEF\xBF\xBD");
}

TEST(ProjectJson, LeftOutFieldsTakeTheirDefaults) {
    testing::RecordingServices services;
    Project project;
    project.setServices(services);
    project.setDefaultPlayTime(4, 6);
    std::string error;
    ASSERT_TRUE(projectFromJson(project, R"({"albums": [{"name": "A", "photos": [{"path": "/a.jpg"}]}]})", error)) << error;
    EXPECT_EQ(project.menu().templatePath, kDefaultTemplatePath);
    EXPECT_EQ(project.album(0).playTime, 6);
    const Slide& slide = *project.album(0).slides[0];
    EXPECT_EQ(slide.displayName, "a.jpg");
    EXPECT_FALSE(slide.hasCaption);
    EXPECT_EQ(slide.caption.font, LogFont::captionDefault());
}

struct BadJson {
    const char* name;
    std::string text;
    std::string message;  // the line and field the error must name
};

class ProjectJsonRefuses : public ::testing::TestWithParam<BadJson> {};

TEST_P(ProjectJsonRefuses, NamingTheLineAndField) {
    Project project;
    std::string error;
    EXPECT_FALSE(projectFromJson(project, GetParam().text, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

const std::string kPhotoLines = "{\n  \"albums\": [\n    {\"name\": \"A\",\n     \"photos\": [\n      {\"path\": \"/a.jpg\"},\n";

INSTANTIATE_TEST_SUITE_P(
    ProjectJson, ProjectJsonRefuses,
    ::testing::Values(
        BadJson{"NotJson", "{\n  \"albums\": [\n    {\"name\": \"A\",}\n  ]\n}", "line 3, column"},
        BadJson{"Empty", "", "line 1"},
        BadJson{"NotAnObject", "[1, 2]", "the project: must be an object"},
        BadJson{"UnknownField", "{\n  \"menu\": {\n    \"musik\": \"x\"\n  }\n}", "line 3: menu.musik: is not a field"},
        BadJson{"Rotation", kPhotoLines + "      {\"path\": \"/b.jpg\",\n       \"rotation\": 45}\n]}]}",
                "line 7: albums[0].photos[1].rotation: must be 0, 90, 180 or 270, not 45"},
        BadJson{"MissingPath", kPhotoLines + "      {\"rotation\": 90}\n]}]}", "line 6: albums[0].photos[1].path: is missing"},
        BadJson{"PlayTime", "{\"albums\": [{\"name\": \"A\"},\n {\"name\": \"B\", \"playTime\": 121}]}",
                "line 2: albums[1].playTime: must be 0 to 120, not 121"},
        BadJson{"Fraction", "{\"albums\": [{\"playTime\": 4.5}]}", "albums[0].playTime: must be a whole number"},
        BadJson{"TakenName", "{\"albums\": [{\"name\": \"Été\"},\n{\"name\": \"ÉTÉ\"}]}", "line 2: albums[1].name: another album"},
        BadJson{"LongText", "{\"menu\": {\"music\": \"" + std::string(260, 'm') + "\"}}", "menu.music: is 260 bytes long"},
        BadJson{"Colour", kPhotoLines + "{\"path\": \"/b\", \"caption\": {\"colour\": \"white\"}}]}]}",
                "albums[0].photos[1].caption.colour: must be a colour"},
        BadJson{"Align", kPhotoLines + "{\"path\": \"/b\", \"caption\": {\"align\": \"Middle\"}}]}]}",
                "albums[0].photos[1].caption.align: must be one of"},
        BadJson{"FontByte", kPhotoLines + "{\"path\": \"/b\", \"caption\": {\"font\": {\"italic\": 256}}}]}]}",
                "albums[0].photos[1].caption.font.italic: must be 0 to 255"},
        BadJson{"Version", "{\"version\": 201}", "version: must be"},
        BadJson{"TooManyAlbums", "{\"albums\": [" + [] {
            std::string albums;
            for (int i = 0; i < 100; ++i) albums += (i ? ",{\"name\": \"" : "{\"name\": \"") + std::to_string(i) + "\"}";
            return albums;
        }() + "]}", "albums[99]: a project holds at most 99 albums"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tellavine::cli
