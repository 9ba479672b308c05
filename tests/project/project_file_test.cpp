#include "project/project_commands.h"
#include "project/project_file.h"

#include "platform/bytes.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

// Items per page as the front ends count them, here straight from the template's key.
std::function<int(const std::string&)> templateItems(const std::string& programDir) {
    return [programDir](const std::string& path) {
        return readProfileInt(programFilePath(programDir, path), "General", "Items_count", 0);
    };
}

using testing::readBytes;
using testing::TempDir;
using testing::writeFile;

// A program directory with two templates.
struct ProgramDir {
    TempDir dir;
    ProgramDir() {
        std::filesystem::create_directories(dir.path() / "template");
        writeFile(dir.file("template/classic.ini"), "[General]\nItems_count=6\n");
        writeFile(dir.file("template/modern.ini"), "[General]\nItems_count=4\n");
    }
    std::string folder() const { return dir.folder(); }
};

Project sampleProject() {
    Project project;
    MenuSettings menu;
    menu.templatePath = "template\\modern.ini";
    menu.musicPath = "/music/menu.mp3";
    menu.musicLength = 176400 * 30;
    menu.backgroundPicturePath = "/pics/bg.jpg";
    project.setMenu(menu);
    project.addAlbum("Holiday");
    project.setAlbumProperties(0, "Holiday", 9, "");
    project.album(0).musicPath = "C:\\Music\\song.mp3";
    project.album(0).musicLength = 1234567;
    Slide* one = project.addSlide(0, "/photos/beach.jpg", "beach.jpg", 90);
    SlideCaption caption;
    caption.text = "At the beach";
    caption.font.setFace("Arial");
    caption.font.height = -24;
    caption.font.italic = 1;
    caption.x = 100;
    caption.y = 400;
    caption.textColour = 0x00FF8040;
    caption.pointSize = 180;
    caption.shadow = false;
    caption.shadowColour = 0x00102030;
    caption.align = CaptionAlign::TopRight;
    project.setCaption(*one, caption);
    project.moveCaption(*one, 3, 4);  // user-defined placement survives too
    project.addSlide(0, "C:\\Photos\\old\\x.bmp", "x.bmp", 0);
    project.addAlbum("Empty");
    return project;
}

TEST(ProjectFile, LayoutHasTheFixedRecordSizesAndFields) {
    const auto bytes = serializeProject(sampleProject());
    ASSERT_EQ(bytes.size(), kProjectHeaderSize + kMenuBlockSize + 2 * kAlbumRecordSize + 2 * kSlideRecordSize);
    ByteReader in(bytes);
    EXPECT_EQ(in.fixedText(260), "Orvessa Project File");
    EXPECT_EQ(in.i32le(), 200);
    EXPECT_EQ(in.i32le(), 2);
    for (std::size_t i = 20; i < 260; ++i) EXPECT_EQ(bytes[i], 0) << i;  // zero-filled after the text
    EXPECT_EQ(in.fixedText(260), "template\\modern.ini");
    in.seek(268 + 520);
    EXPECT_EQ(in.i32le(), 176400 * 30);
    const std::size_t album = 268 + 784;
    in.seek(album + 260);
    EXPECT_EQ(in.i32le(), 9);
    in.seek(album + 528);
    EXPECT_EQ(in.i32le(), 2);
    const std::size_t slide = album + 532;
    in.seek(slide + 260);
    EXPECT_EQ(in.i32le(), 1);   // rotated
    EXPECT_EQ(in.i32le(), 90);  // rotation
    EXPECT_EQ(in.i32le(), 1);   // has caption
    EXPECT_EQ(in.i32le(), -24);  // LOGFONT height
    in.seek(slide + 272 + 20);
    EXPECT_EQ(in.u8(), 1);  // italic
    in.seek(slide + 272 + 28);
    EXPECT_EQ(in.fixedText(32), "Arial");
    in.seek(slide + 592);
    EXPECT_EQ(in.i32le(), 103);
    EXPECT_EQ(in.i32le(), 404);
    EXPECT_EQ(in.u32le(), 0x00FF8040u);
    EXPECT_EQ(in.i32le(), 180);
    EXPECT_EQ(in.i32le(), 0);
    EXPECT_EQ(in.u32le(), 0x00102030u);
    EXPECT_EQ(in.i32le(), 6);  // UserDefined after the move
}

TEST(ProjectFile, SavedProjectReadsBackCompletely) {
    ProgramDir program;
    TempDir dir;
    const Project original = sampleProject();
    ASSERT_TRUE(saveProject(original, dir.file("p.ovp")));
    Project loaded;
    loaded.setTemplateItemsQuery(templateItems(program.folder()));
    EXPECT_EQ(openProjectFile(loaded, dir.file("p.ovp"), program.folder(), ProjectReader::ByExtension),
              ProjectReadResult::Loaded);
    EXPECT_FALSE(loaded.modified());
    EXPECT_EQ(loaded.itemsPerPage(), 4);
    EXPECT_EQ(loaded.menu().templatePath, original.menu().templatePath);
    EXPECT_EQ(loaded.menu().musicPath, original.menu().musicPath);
    EXPECT_EQ(loaded.menu().musicLength, original.menu().musicLength);
    EXPECT_EQ(loaded.menu().backgroundPicturePath, original.menu().backgroundPicturePath);
    ASSERT_EQ(loaded.albumCount(), 2);
    EXPECT_EQ(loaded.currentAlbum(), 1);
    for (int a = 0; a < 2; ++a) {
        const Album& want = original.album(a);
        const Album& got = loaded.album(a);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.playTime, want.playTime);
        EXPECT_EQ(got.musicPath, want.musicPath);
        EXPECT_EQ(got.musicLength, want.musicLength);
        ASSERT_EQ(got.slides.size(), want.slides.size());
        for (std::size_t s = 0; s < want.slides.size(); ++s) {
            const Slide& w = *want.slides[s];
            const Slide& g = *got.slides[s];
            EXPECT_EQ(g.path, w.path);
            EXPECT_EQ(g.rotated, w.rotated);
            EXPECT_EQ(g.rotation, w.rotation);
            EXPECT_EQ(g.hasCaption, w.hasCaption);
            EXPECT_EQ(g.caption.font, w.caption.font);
            EXPECT_EQ(g.caption.text, w.caption.text);
            EXPECT_EQ(g.caption.x, w.caption.x);
            EXPECT_EQ(g.caption.y, w.caption.y);
            EXPECT_EQ(g.caption.textColour, w.caption.textColour);
            EXPECT_EQ(g.caption.pointSize, w.caption.pointSize);
            EXPECT_EQ(g.caption.shadow, w.caption.shadow);
            EXPECT_EQ(g.caption.shadowColour, w.caption.shadowColour);
            EXPECT_EQ(g.caption.align, w.caption.align);
        }
    }
    EXPECT_EQ(loaded.album(0).slides[0]->displayName, "beach.jpg");
    EXPECT_EQ(loaded.album(0).slides[1]->displayName, "x.bmp");  // Windows separators
    EXPECT_EQ(projectWindowTitle(loaded), "Tellavine - [p]");
}

TEST(ProjectFile, WrongVersionOrSignatureLeavesAnEmptyProject) {
    testing::RecordingServices prompt;
    ProgramDir program;
    TempDir dir;
    auto bytes = serializeProject(sampleProject());
    bytes[260] = 201;
    std::string text(bytes.begin(), bytes.end());
    writeFile(dir.file("v201.ovp"), text);
    writeFile(dir.file("short.ovp"), text.substr(0, 100));
    text[0] = 'X';
    writeFile(dir.file("sig.ovp"), text);

    Project project = sampleProject();

    project.setServices(prompt);
    EXPECT_EQ(openProjectFile(project, dir.file("v201.ovp"), program.folder(), ProjectReader::ByExtension),
              ProjectReadResult::Unsupported);
    EXPECT_EQ(project.albumCount(), 0);
    EXPECT_EQ(projectWindowTitle(project), "Tellavine - [v201]");
    // Save must not replace the unread file with the empty project: it asks for a name.
    EXPECT_TRUE(saveNeedsFileName(project));
    project.setFilePath(dir.file("v201.ovp"));  // named again, as Save As does
    EXPECT_FALSE(saveNeedsFileName(project));
    EXPECT_EQ(openProjectFile(project, dir.file("short.ovp"), program.folder(), ProjectReader::ByExtension),
              ProjectReadResult::Invalid);
    EXPECT_EQ(openProjectFile(project, dir.file("sig.ovp"), program.folder(), ProjectReader::Binary),
              ProjectReadResult::Invalid);
    EXPECT_EQ(openProjectFile(project, dir.file("none.ovp"), program.folder(), ProjectReader::ByExtension),
              ProjectReadResult::OpenFailed);
    const auto shown = prompt->shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], "Version doesn't be supported.");
    EXPECT_EQ(shown[1], "Invalid Tellavine project file.");
    EXPECT_EQ(shown[2], "Invalid Tellavine project file.");
    EXPECT_EQ(shown[3].rfind("Error while creating Project File! \nReason:", 0), 0u);
    EXPECT_NE(shown[3].find("No such file"), std::string::npos);
}

TEST(ProjectFile, MissingTemplateFallsBackToClassic) {
    ProgramDir program;
    TempDir dir;
    Project original = sampleProject();
    MenuSettings menu = original.menu();
    menu.templatePath = "template\\gone.ini";
    original.setMenu(menu);
    saveProject(original, dir.file("p.ovp"));
    Project loaded;
    loaded.setTemplateItemsQuery(templateItems(program.folder()));
    openProjectFile(loaded, dir.file("p.ovp"), program.folder(), ProjectReader::ByExtension);
    EXPECT_EQ(loaded.menu().templatePath, "template\\classic.ini");
    EXPECT_EQ(loaded.itemsPerPage(), 6);
}

TEST(ProjectFile, TruncatedFileKeepsCompleteRecordsAndSaysSo) {
    testing::RecordingServices prompt;
    ProgramDir program;
    auto bytes = serializeProject(sampleProject());
    // Cut inside the second slide of the first album.
    bytes.resize(kProjectHeaderSize + kMenuBlockSize + kAlbumRecordSize + kSlideRecordSize + 100);
    Project loaded;
    loaded.setServices(prompt);
    EXPECT_EQ(loadProjectBytes(loaded, bytes, program.folder()), ProjectReadResult::Partial);
    ASSERT_EQ(loaded.albumCount(), 1);  // no invented empty album
    EXPECT_EQ(loaded.album(0).slides.size(), 1u);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_NE(prompt->shown()[0].find("incomplete"), std::string::npos);
}

// What the command line reports when it refuses a project: a count no project can have
// makes the file Invalid (it loaded as an empty project before), and each damage is named.
TEST(ProjectFile, ImpossibleCountsAreInvalidAndEveryDamageIsDescribed) {
    ProgramDir program;
    const auto whole = serializeProject(sampleProject());
    auto withI32 = [&](std::size_t at, std::uint32_t value) {
        auto bytes = whole;
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes;
    };
    auto cutTo = [&](std::size_t size) { return std::vector<std::uint8_t>(whole.begin(), whole.begin() + size); };
    const std::size_t firstAlbum = kProjectHeaderSize + kMenuBlockSize;
    const struct {
        std::vector<std::uint8_t> bytes;
        ProjectReadResult result;
        std::string damage;
    } cases[] = {
        {withI32(264, static_cast<std::uint32_t>(-1)), ProjectReadResult::Invalid, "its album count is -1"},
        {withI32(264, 0x80000000u), ProjectReadResult::Invalid, "its album count is -2147483648"},
        {withI32(firstAlbum + kAlbumRecordSize - 4, static_cast<std::uint32_t>(-2)), ProjectReadResult::Invalid,
         "album 1 counts -2 photos"},
        {withI32(264, 0x7FFFFFFF), ProjectReadResult::Partial, "it ends before album 3 of the 2147483647 it counts"},
        {cutTo(firstAlbum - 1), ProjectReadResult::Partial, "it ends inside the menu settings"},
        {cutTo(firstAlbum + kAlbumRecordSize + kSlideRecordSize + 100), ProjectReadResult::Partial,
         "it ends inside album 1, before photo 2 of the 2 it counts"},
        {cutTo(firstAlbum + kAlbumRecordSize + 2 * kSlideRecordSize), ProjectReadResult::Partial,
         "it ends before album 2 of the 2 it counts"},
        {whole, ProjectReadResult::Loaded, ""},
    };
    for (const auto& each : cases) {
        Project loaded;
        std::string damage;
        EXPECT_EQ(loadProjectBytes(loaded, each.bytes, program.folder(), &damage), each.result) << each.damage;
        EXPECT_EQ(damage, each.damage);
    }
}

TEST(ProjectFile, EmptyPathSlidesAreSkippedAndCountsAreBounded) {
    testing::RecordingServices prompt;
    ProgramDir program;
    ByteWriter out;
    out.fixedText("Orvessa Project File", 260);
    out.i32le(200);
    out.i32le(1000000);  // far more albums than the file holds
    out.fill(kMenuBlockSize);
    out.fixedText("A", 260);
    out.i32le(4);
    out.fill(260);
    out.i32le(0);
    out.i32le(2);
    out.fill(kSlideRecordSize);  // empty path
    out.fixedText("/p/kept.jpg", 260);
    out.fill(kSlideRecordSize - 260);
    Project loaded;
    loaded.setServices(prompt);
    EXPECT_EQ(loadProjectBytes(loaded, out.data(), program.folder()), ProjectReadResult::Partial);
    ASSERT_EQ(loaded.albumCount(), 1);
    ASSERT_EQ(loaded.album(0).slides.size(), 1u);
    EXPECT_EQ(loaded.album(0).slides[0]->displayName, "kept.jpg");
}

TEST(ProjectFile, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    testing::RecordingServices prompt;
    TempDir dir;
    Project project = sampleProject();
    project.setServices(prompt);
    ASSERT_TRUE(saveProjectToFile(project, dir.file("p.ovp")));
    EXPECT_FALSE(project.modified());
    const auto before = readBytes(dir.file("p.ovp"));
    project.addAlbum("More");
    EXPECT_FALSE(saveProjectToFile(project, dir.file("missing/p.ovp")));
    EXPECT_TRUE(project.modified());
    EXPECT_EQ(readBytes(dir.file("p.ovp")), before);
    ASSERT_EQ(prompt->shown().size(), 1u);
    EXPECT_EQ(prompt->shown()[0].rfind("Error while creating Project File! \nReason:", 0), 0u);
}

TEST(ProjectCommands, OldFilesAreNeverOverwrittenAndTitlesFollowTheFile) {
    Project project;
    EXPECT_TRUE(saveNeedsFileName(project));
    EXPECT_EQ(projectWindowTitle(project), "Tellavine - [New Project]");
    project.setFilePath("/a/trip.ORX");
    EXPECT_TRUE(saveNeedsFileName(project));
    project.setFilePath("/a/trip.ovp");
    EXPECT_FALSE(saveNeedsFileName(project));
    EXPECT_EQ(projectWindowTitle(project), "Tellavine - [trip]");
}

TEST(ProjectCommands, SaveQuestionOnlyForModifiedProjects) {
    testing::RecordingServices prompt;
    Project project;
    project.setServices(prompt);
    int saves = 0;
    auto save = [&] { ++saves; return true; };
    EXPECT_TRUE(confirmDiscardingChanges(project, save));
    EXPECT_TRUE(prompt->shown().empty());
    project.addAlbum("A");
    prompt->setAnswer(PromptAnswer::Yes);
    EXPECT_TRUE(confirmDiscardingChanges(project, save));
    EXPECT_EQ(saves, 1);
    prompt->setAnswer(PromptAnswer::No);
    EXPECT_TRUE(confirmDiscardingChanges(project, save));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(prompt->shown().back(), "Current project file has been modified.\nDo you want to save it?");
    prompt->setAnswer(PromptAnswer::Yes);
    EXPECT_FALSE(confirmDiscardingChanges(project, [] { return false; }));  // a failed save stops New/Open
}

TEST(OldProjectFile, ReadsAlbumsPhotosAndDefaults) {
    testing::RecordingServices prompt;
    ProgramDir program;
    TempDir dir;
    writeFile(dir.file("song.mp3"), "x");
    writeFile(dir.file("old.orx"),
              "[GENERAL]\nDescription=Orvessa Project\nAlbum_Count=2\n"
              "[MENU]\nbk_music=" + dir.file("song.mp3") + "\nbk_picture=/nowhere/bg.jpg\n"
              "[Album_01]\nName=First\nbk_music=/m/a.mp3\nImage_Count=3\nImage_01=C:\\P\\a.jpg\n"
              "Image_01_degree=180\nImage_02=\nImage_03=/p/c.jpg\n"
              "[Album_02]\nName=Second\ninterval=12\n");
    Project project;
    project.setServices(prompt);
    EXPECT_EQ(openProjectFile(project, dir.file("old.orx"), program.folder(), ProjectReader::ByExtension),
              ProjectReadResult::Loaded);
    EXPECT_TRUE(prompt->shown().empty());
    EXPECT_EQ(project.menu().musicPath, dir.file("song.mp3"));
    EXPECT_EQ(project.menu().backgroundPicturePath, "");  // missing file
    ASSERT_EQ(project.albumCount(), 2);
    EXPECT_EQ(project.album(0).playTime, 5);
    EXPECT_EQ(project.album(0).musicPath, "/m/a.mp3");
    ASSERT_EQ(project.album(0).slides.size(), 2u);
    EXPECT_EQ(project.album(0).slides[0]->displayName, "a.jpg");
    EXPECT_EQ(project.album(0).slides[0]->rotation, 180);
    EXPECT_EQ(project.album(0).slides[1]->path, "/p/c.jpg");
    EXPECT_EQ(project.album(1).playTime, 12);
    EXPECT_EQ(project.currentAlbum(), 1);
    EXPECT_TRUE(saveNeedsFileName(project));
}

TEST(OldProjectFile, WrongDescriptionIsRefused) {
    testing::RecordingServices prompt;
    TempDir dir;
    writeFile(dir.file("bad.orx"), "[GENERAL]\nDescription=Something else\nAlbum_Count=2\n");
    Project project;
    project.setServices(prompt);
    EXPECT_EQ(loadOldProject(project, dir.file("bad.orx")), ProjectReadResult::Invalid);
    EXPECT_EQ(project.albumCount(), 0);
    EXPECT_EQ(prompt->shown(), std::vector<std::string>{"This is not a valid Tellavine project file."});
}

}  // namespace
}  // namespace tellavine
