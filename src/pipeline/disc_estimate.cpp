#include "pipeline/disc_estimate.h"

#include "platform/cd_geometry.h"

#include <filesystem>
#include <limits>

namespace tellavine {
namespace {

constexpr std::uint64_t kSectorsPerStill = 150;
constexpr std::uint64_t kMenuSectors = 258;

std::uint64_t wholeSeconds(std::int32_t musicLength) {
    return musicLength > 0 ? static_cast<std::uint64_t>(musicLength) / kMusicBytesPerSecond : 0;
}

std::uint64_t fileSectors(const std::string& path, const FileSizeQuery& fileSize) {
    if (path.empty()) return 0;
    const auto size = fileSize(path);
    return size ? (*size + kForm1DataSize - 1) / kForm1DataSize : 0;
}

}  // namespace

std::optional<std::uint64_t> fileSizeOnDisk(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

std::uint32_t estimateDiscSectors(const Project& project, const EstimateOptions& options,
                                  const FileSizeQuery& fileSize) {
    // Products are formed in 64 bits: a long album's photos x play time x 176400 does
    // not fit 32 bits, and a wrapped product would shrink the estimate.
    const std::uint64_t pages = static_cast<std::uint64_t>(project.menuPageCount());
    std::uint64_t menu = kMenuSectors;
    if (!project.menu().musicPath.empty()) {
        const std::uint64_t bytes = pages * wholeSeconds(project.menu().musicLength) * kMusicBytesPerSecond;
        menu += (bytes + kForm2DataSize - 1) / kForm2DataSize;
    }
    std::uint64_t base = menu + kSectorsPerStill * pages;

    std::uint64_t musicSectors = 0;
    std::uint64_t stills = 0;
    for (const Album& album : project.albums()) {
        const std::uint64_t photos = album.slides.size();
        if (album.hasMusic()) {
            const std::uint64_t playTime = album.playTime > 0 ? static_cast<std::uint64_t>(album.playTime) : 0;
            musicSectors += photos * playTime * kMusicBytesPerSecond / kForm2DataSize;
            if (musicSectors % kForm2DataSize != 0) musicSectors += 1;
        } else {
            stills += photos;
        }
    }
    base += musicSectors + kSectorsPerStill * stills;

    std::uint64_t files = 0;
    if (options.includeAudioFiles) {
        files += fileSectors(project.menu().musicPath, fileSize);
        for (const Album& album : project.albums()) files += fileSectors(album.musicPath, fileSize);
    }
    if (options.includePhotoFiles) {
        for (const Album& album : project.albums()) {
            for (const auto& slide : album.slides) files += fileSectors(slide->path, fileSize);
        }
    }
    const std::uint64_t standard = options.tvStandard == TvStandard::PAL ? 624 : 610;
    const std::uint64_t result = base + files + standard + kPregapFrames;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(result, std::numeric_limits<std::uint32_t>::max()));
}

int estimatedDiscSeconds(const Project& project, const EstimateOptions& options, const FileSizeQuery& fileSize) {
    if (project.totalPhotoCount() == 0) return 0;
    return static_cast<int>(estimateDiscSectors(project, options, fileSize) / kFramesPerSecond);
}

}  // namespace tellavine
