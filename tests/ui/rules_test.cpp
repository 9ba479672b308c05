// The rules behind the status gauge and the burn page's checks, without windows.

#include "project/build_job.h"
#include "pipeline/disc_estimate.h"
#include "ui/pages/recorder_access.h"

#include <QTest>

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

    void recorderTexts() {
        const RecorderDevice device{"TELLAV", "Emulated CD-RW", 1, 2, 0};
        QCOMPARE(device.listText(), std::string("TELLAVEmulated CD-RW(1:2:0)"));
        QCOMPARE(device.paneText(), std::string("Device: TELLAV  Emulated CD-RW"));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
