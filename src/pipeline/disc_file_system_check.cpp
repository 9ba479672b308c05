#include "pipeline/disc_file_system_check.h"

#include "pipeline/disc_assembly.h"
#include "platform/text.h"
#include "vcd/iso_track.h"

namespace tellavine {

std::string discFileSystemProblem(const Project& project, const DiscOptions& options, int itemsPerPage) {
    // The file system as disc assembly will describe it; sizes do not change what the
    // directories need, so every file gets one sector and every segment one unit.
    vcd::IsoTrackContents contents;
    contents.type = vcd::DiscType::Vcd20;
    const int pages = menuPageCount(project.albumCount(), itemsPerPage);
    contents.playbackControl = pages > 0;
    contents.psdSize = 1;
    contents.extendedPsdSize = 1;
    int segments = pages;
    for (const Album& album : project.albums()) segments += albumItemCount(album);
    contents.segments.assign(static_cast<std::size_t>(segments), {1, 1});
    for (const DiscCopy& copy : discCopies(project, options))
        contents.customFiles.push_back({toUpperAscii(copy.isoPath), 1, false, 1});
    contents.sequences.push_back({0, 1, 0, 0});
    const auto layout = vcd::layoutIsoTrack(contents);
    if (const auto* reason = std::get_if<std::string>(&layout)) return *reason;
    return {};
}

}  // namespace tellavine
