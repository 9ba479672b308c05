// How many sectors the status gauge and the burn page's free-space question expect.
#include "pipeline/disc_estimate.h"

#include "support/expect_if_set.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tellavine {
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

EstimateOptions pal() {
    EstimateOptions options;
    options.tvStandard = TvStandard::PAL;
    return options;
}

// A project with no file sizes known; unset expectations are not pinned by the row.
struct EstimateCase {
    const char* name;
    std::function<void(Project&)> makeProject;
    EstimateOptions options;
    std::optional<std::uint64_t> sectors;
    std::optional<int> seconds;
};
void PrintTo(const EstimateCase& c, std::ostream* out) { *out << c.name; }

class DiscEstimate : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(DiscEstimate, CountsSectors) {
    const EstimateCase& c = GetParam();
    Project project;
    c.makeProject(project);
    testing::expectIfSet(c.sectors, std::uint64_t{estimateDiscSectors(project, c.options, sizes({}))}, "sectors");
    testing::expectIfSet(c.seconds, estimatedDiscSeconds(project, c.options, sizes({})), "seconds");
}

void tenStills(Project& project) {
    project.setItemsPerPage(6);
    addAlbum(project, "Holiday", 10, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Estimate, DiscEstimate,
    ::testing::Values(
        EstimateCase{"TenStillsOnNtsc", tenStills, {}, 2668, 35},
        EstimateCase{"TenStillsOnPal", tenStills, pal(), 2668 + 14, {}},
        // 3 x 5 x 176400 / 2324 = 1138, then one more because 1138 is no multiple of 2324.
        EstimateCase{"AlbumMusicRoundedUp",
                     [](Project& project) {
                         project.setItemsPerPage(6);
                         addAlbum(project, "Music", 3, 5, "song.mp3", 30 * kMusicBytesPerSecond);
                     },
                     {}, 258 + 150 + 1139 + 610 + 150, {}},
        // Two pages of ten whole seconds: 2 x 10 x 176400 / 2324 = 1518.07 -> 1519.
        EstimateCase{"MenuMusicPerPage",
                     [](Project& project) {
                         project.setItemsPerPage(1);
                         addAlbum(project, "A", 1, 4);
                         addAlbum(project, "B", 1, 4);
                         project.setMenu(
                             MenuSettings{"template\\classic.ini", "menu.mp3", 10 * kMusicBytesPerSecond + 5, ""});
                     },
                     {}, 258 + 1519 + 2 * 150 + 2 * 150 + 610 + 150, {}},
        // No template read: no menu pages. 1980 x 120 x 176400 overflows 32 bits; the
        // estimate must still grow with it.
        EstimateCase{"LongAlbumWithoutTemplate",
                     [](Project& project) { addAlbum(project, "Long", 1980, 120, "long.mp3", 1); },
                     {}, 258 + (1980ull * 120 * 176400 / 2324 + 1) + 610 + 150, {}},
        EstimateCase{"NoPhotosNoPlayingTime", [](Project&) {}, {}, {}, 0}),
    [](const ::testing::TestParamInfo<EstimateCase>& info) { return std::string(info.param.name); });

TEST(DiscEstimateFiles, IncludedFilesAddWholeSectorsAndUnreadableOnesNothing) {
    Project project;
    project.setItemsPerPage(6);
    addAlbum(project, "A", 2, 4, "A/song.mp3", 0);
    project.setMenu(MenuSettings{"template\\classic.ini", "menu.mp3", 0, ""});
    const auto known = sizes({{"A/photo0.jpg", 2048}, {"A/photo1.jpg", 2049}, {"A/song.mp3", 1}, {"menu.mp3", 4096}});
    const std::uint32_t plain = estimateDiscSectors(project, {}, known);
    EstimateOptions photos;
    photos.includePhotoFiles = true;
    EXPECT_EQ(estimateDiscSectors(project, photos, known), plain + 1 + 2);
    EstimateOptions audio;
    audio.includeAudioFiles = true;
    EXPECT_EQ(estimateDiscSectors(project, audio, known), plain + 2 + 1);
    EXPECT_EQ(estimateDiscSectors(project, photos, sizes({})), plain);
}

}  // namespace
}  // namespace tellavine
