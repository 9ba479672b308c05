#pragma once
// Disc assembly: describes the finished Video CD 2.0 to the authoring object — disc
// parameters, the playback-control graph (menu pages and one node per album item),
// copies of the photos and music, the segment play items left by the encoding stages
// and the one MPEG sequence track.

#include "project/build_job.h"
#include "vcd/authoring_object.h"

#include <memory>
#include <string>
#include <vector>

namespace tellavine {

// Items an album puts on the disc: one still sequence when it has music, else one
// still per photo.
int albumItemCount(const Album& album);

// The name a photo's copy gets on the disc: its display name, or "<stem>_<d><rest>"
// when d earlier photos of the album share the name (letter case ignored). Numbering
// goes on past names the album already holds, so no copy is left off the disc.
std::vector<std::string> uniquePhotoNames(const Album& album);

// Each album's folder under "Photo Files" and "Audio Files": its name, numbered when
// another album's folder or the menu music's copy (`menuMusicName`) has it already.
std::vector<std::string> albumFolderNames(const Project& project, const std::string& menuMusicName);

// A photo or music file copied onto the disc: its path there and the file it copies.
struct DiscCopy {
    std::string isoPath;
    std::string source;
};

// The copies the options ask for, in the order they go onto the disc.
std::vector<DiscCopy> discCopies(const Project& project, const DiscOptions& options);

// The authoring object for the build, or nullptr when a file of the disc cannot be
// opened (the message has been shown and WM_BUILD_FAILED posted).
std::unique_ptr<vcd::AuthoringObject> assembleDisc(BuildJob& job, const BuildInputs& inputs);

}  // namespace tellavine
