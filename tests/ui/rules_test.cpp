// The rules behind the status gauge, the burn page's checks and the progress window's
// texts, checked without windows.

#include "project/build_job.h"
#include "ui/pages/burn_checks.h"
#include "ui/pages/disc_estimate.h"
#include "ui/pages/progress_messages.h"
#include "ui/pages/recorder_access.h"

#include <QTest>

#include <cstring>
#include <map>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

void addAlbum(Project& project, const std::string& name, int photos, int playTime, const std::string& music = {},
              std::int32_t musicLength = 0) {
    const int index = project.appendAlbum(Album{});
    Album& album = project.album(index);
    album.name = name;
    album.playTime = playTime;
    album.musicPath = music;
    album.musicLength = musicLength;
    for (int i = 0; i < photos; ++i) {
        auto slide = std::make_unique<Slide>();
        slide->path = name + "/photo" + std::to_string(i) + ".jpg";
        album.slides.push_back(std::move(slide));
    }
}

FileSizeQuery sizes(std::map<std::string, std::uint64_t> known) {
    return [known = std::move(known)](const std::string& path) -> std::optional<std::uint64_t> {
        const auto it = known.find(path);
        if (it == known.end()) return std::nullopt;
        return it->second;
    };
}

ProgressView apply(ProgressView view, unsigned message, MessageParam w = 0, MessageParam l = 0,
                   const ProgressContext& context = {}, const std::string& text = {}) {
    applyProgressMessage(view, message, w, l, text, context);
    return view;
}

}  // namespace

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void estimateOfTenStillsOnNtsc() {
        Project project;
        project.setItemsPerPage(6);
        addAlbum(project, "Holiday", 10, 5);
        const auto sectors = estimateDiscSectors(project, {}, sizes({}));
        QCOMPARE(sectors, 2668u);
        QCOMPARE(estimatedDiscSeconds(project, {}, sizes({})), 35);
        EstimateOptions pal;
        pal.tvStandard = TvStandard::PAL;
        QCOMPARE(estimateDiscSectors(project, pal, sizes({})), 2668u + 14);
    }

    void estimateRoundsAlbumMusicUp() {
        Project project;
        project.setItemsPerPage(6);
        addAlbum(project, "Music", 3, 5, "song.mp3", 30 * kMusicBytesPerSecond);
        // 3 x 5 x 176400 / 2324 = 1138, then one more because 1138 is no multiple of 2324.
        QCOMPARE(estimateDiscSectors(project, {}, sizes({})), 258u + 150 + 1139 + 610 + 150);
    }

    void estimateCountsMenuMusicPerPage() {
        Project project;
        project.setItemsPerPage(1);
        addAlbum(project, "A", 1, 4);
        addAlbum(project, "B", 1, 4);
        project.setMenu(MenuSettings{"template\\classic.ini", "menu.mp3", 10 * kMusicBytesPerSecond + 5, ""});
        // Two pages of ten whole seconds: 2 x 10 x 176400 / 2324 = 1518.07 -> 1519.
        const std::uint32_t menu = 258 + 1519;
        QCOMPARE(estimateDiscSectors(project, {}, sizes({})), menu + 2 * 150 + 2 * 150 + 610 + 150);
    }

    void estimateAddsIncludedFilesInWholeSectors() {
        Project project;
        project.setItemsPerPage(6);
        addAlbum(project, "A", 2, 4, "A/song.mp3", 0);
        project.setMenu(MenuSettings{"template\\classic.ini", "menu.mp3", 0, ""});
        const auto known = sizes({{"A/photo0.jpg", 2048}, {"A/photo1.jpg", 2049}, {"A/song.mp3", 1}, {"menu.mp3", 4096}});
        const std::uint32_t plain = estimateDiscSectors(project, {}, known);
        EstimateOptions photos;
        photos.includePhotoFiles = true;
        QCOMPARE(estimateDiscSectors(project, photos, known), plain + 1 + 2);
        EstimateOptions audio;
        audio.includeAudioFiles = true;
        QCOMPARE(estimateDiscSectors(project, audio, known), plain + 2 + 1);
        // A file that cannot be read counts nothing.
        QCOMPARE(estimateDiscSectors(project, photos, sizes({})), plain);
    }

    void estimateSurvivesLongAlbumsAndNoTemplate() {
        Project project;  // no template read: no menu pages
        addAlbum(project, "Long", 1980, 120, "long.mp3", 1);
        // 1980 x 120 x 176400 overflows 32 bits; the estimate must still grow with it.
        const std::uint64_t music = 1980ull * 120 * 176400 / 2324 + 1;
        QCOMPARE(std::uint64_t(estimateDiscSectors(project, {}, sizes({}))), 258 + music + 610 + 150);
        Project empty;
        QCOMPARE(estimatedDiscSeconds(empty, {}, sizes({})), 0);
    }

    void imagePathChecks() {
        QCOMPARE(checkImagePath("").message, std::string("Please input the image file name."));
        const auto bin = checkImagePath("/tmp/out/disc.bin");
        QVERIFY(!bin.accepted);
        QCOMPARE(bin.message, std::string("The image file name is invalid, it must have a .cue extension."));
        const auto upper = checkImagePath("/tmp/Out/Disc.CUE");
        QVERIFY(upper.accepted);
        QCOMPARE(upper.cuePath, std::string("/tmp/Out/Disc.CUE"));
        QCOMPARE(upper.binPath, std::string("/tmp/Out/Disc.bin"));
        // Only the file's extension changes, never a folder that contains ".cue".
        QCOMPARE(checkImagePath("/d/a.cue.dir/x.cue").binPath, std::string("/d/a.cue.dir/x.bin"));
        QVERIFY(!checkImagePath(".cue").accepted);
        QVERIFY(discTooSmall(1000, 851));
        QVERIFY(!discTooSmall(1000, 850));
    }

    void recorderTexts() {
        const RecorderDevice device{"TELLAV", "Emulated CD-RW", 1, 2, 0};
        QCOMPARE(device.listText(), std::string("TELLAVEmulated CD-RW(1:2:0)"));
        QCOMPARE(device.paneText(), std::string("Device: TELLAV  Emulated CD-RW"));
    }

    void slideProgressTexts() {
        const ProgressView half = apply({}, WM_SLIDE_PROGRESS, 4, 10);
        QCOMPARE(half.barText, std::string("50.0%"));
        QCOMPARE(half.position, 50);
        QCOMPARE(half.status, std::string("Encoding album photos..."));
        QCOMPARE(apply({}, WM_SLIDE_PROGRESS, 0, 3).barText, std::string("33.3%"));
        QCOMPARE(apply({}, WM_SLIDE_PROGRESS, 0, 0).barText, std::string(" 1.0%"));
    }

    void waitingMessages() {
        const struct {
            unsigned message;
            const char* status;
        } cases[] = {{WM_MENU_ENCODE_BEGIN, "Encoding disc menu...."},
                     {WM_BURN_PREPARE, "Initalizing cd recorder..."},
                     {WM_BURN_START, "Writing lead in..."},
                     {WM_BURN_FINISHING, "Writing lead out..."},
                     {WM_FLUSH_CACHE, "Flush cache..."}};
        ProgressView busy;
        busy.position = 70;
        for (const auto& c : cases) {
            const ProgressView view = apply(busy, c.message);
            QCOMPARE(view.status, std::string(c.status));
            QCOMPARE(view.barText, std::string("Please Wait..."));
            QCOMPARE(view.position, 0);
            QVERIFY(!view.done);
        }
        const ProgressView waiting = apply(busy, WM_RECORDER_WAIT);
        QCOMPARE(waiting.status, busy.status);
        QCOMPARE(waiting.barText, std::string("Please waiting..."));
        const ProgressView menuEnd = apply(busy, WM_MENU_ENCODE_END);
        QCOMPARE(menuEnd.status, std::string("Encoding disc menu end."));
        QCOMPARE(menuEnd.position, 70);
    }

    void burnAndImageProgress() {
        const ProgressView burn = apply({}, WM_BURN_PROGRESS, 99, 1000);
        QCOMPARE(burn.barText, std::string("10.0%"));
        QCOMPARE(burn.position, 10);
        QCOMPARE(apply({}, WM_BURN_PROGRESS, 9, 0).barText, std::string("10.0%"));

        ProgressContext context;
        context.imageSectors = 8;
        ProgressView image;
        QCOMPARE(apply(image, WM_IMAGE_SECTOR, 0, 0, {}).barText, std::string("0.0%"));  // unknown size
        for (int i = 0; i < 5; ++i) applyProgressMessage(image, WM_IMAGE_SECTOR, 0, 0, {}, context);
        // The fifth message shows the four sectors before it: 4 x 1000 / 8.
        QCOMPARE(image.barText, std::string("50.0%"));
        QCOMPARE(image.position, 50);
        QCOMPARE(image.status, std::string("Writing data to disc image file..."));
        QCOMPARE(image.imageSectorCount, 5);
        QCOMPARE(apply(image, WM_IMAGE_BEGIN).imageSectorCount, 0);
    }

    void endings() {
        ProgressContext context;
        context.cuePath = "/tmp/disc.cue";
        const ProgressView image = apply({}, WM_IMAGE_DONE, 0, 0, context);
        QCOMPARE(image.status, std::string("Disc image file was successfully written to:\n\n/tmp/disc.cue"));
        QVERIFY(image.done && !image.barVisible);
        QCOMPARE(image.buttonText, std::string("&Close"));

        const ProgressView failed = apply({}, WM_BUILD_FAILED);
        QCOMPARE(failed.status, std::string("An error occurred while processing."));
        QCOMPARE(failed.buttonText, std::string("&Close"));

        const ProgressView burnt = apply({}, WM_BURN_DONE);
        QVERIFY(burnt.status.starts_with("Congratulations! Your photo album CD has been made."));
        context.simulate = true;
        QVERIFY(apply({}, WM_BURN_DONE, 0, 0, context).status.starts_with("The simulation is successfully finished"));

        const ProgressView error = apply({}, WM_BURN_ERROR, 0, 0, {}, "Medium not present");
        QCOMPARE(error.status, std::string("The burning process failed. Error message :\nMedium not present"));
        QVERIFY(error.done && !error.barVisible);
        QCOMPARE(error.buttonText, std::string("Cancel"));  // the label stays

        ProgressView untouched;
        QVERIFY(!applyProgressMessage(untouched, 1200, 0, 0, {}, {}));
    }

    void burnErrorTextIsTakenAndFreed() {
        char* buffer = new char[32];
        std::strcpy(buffer, "Write error");
        std::string text;
        QVERIFY(takeProgressMessageText(WM_BURN_ERROR, reinterpret_cast<MessageParam>(buffer), text));
        QCOMPARE(text, std::string("Write error"));
        QVERIFY(!takeProgressMessageText(WM_BURN_DONE, 0, text));
        QVERIFY(takeProgressMessageText(WM_BURN_ERROR, 0, text));
        QVERIFY(text.empty());
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
