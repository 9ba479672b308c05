#pragma once
// How many 2352-byte sectors the project's disc will take: the status bar's gauge and
// the burn page's free-space question rest on it. Qt-free.

#include "project/model.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tellavine {

// A file's size in bytes, or nothing when it cannot be read.
using FileSizeQuery = std::function<std::optional<std::uint64_t>(const std::string& path)>;
std::optional<std::uint64_t> fileSizeOnDisk(const std::string& path);

struct EstimateOptions {
    bool includePhotoFiles = false;
    bool includeAudioFiles = false;
    TvStandard tvStandard = TvStandard::NTSC;
};

std::uint32_t estimateDiscSectors(const Project& project, const EstimateOptions& options,
                                  const FileSizeQuery& fileSize = fileSizeOnDisk);

// The gauge's value: CD playing time in seconds (75 sectors a second), 0 without photos.
int estimatedDiscSeconds(const Project& project, const EstimateOptions& options,
                         const FileSizeQuery& fileSize = fileSizeOnDisk);

}  // namespace tellavine
