#pragma once
// The burn page's checks of a typed image path and of the disc space. Qt-free.

#include <string>

namespace tellavine::ui {

struct ImagePathCheck {
    bool accepted = false;
    std::string message;  // shown when refused
    std::string cuePath;
    std::string binPath;
};

// An empty path asks for a name; a path must end in ".cue" (any letter case). The
// path is used as typed: file names on this system are case-sensitive, so folding the
// case would write somewhere else than the user chose.
ImagePathCheck checkImagePath(const std::string& typedPath);

// True when a disc with `freeSectors` is too small for an estimate of `needed` sectors
// (the lead-in of 150 sectors comes on top).
bool discTooSmall(long long freeSectors, long long neededSectors);

}  // namespace tellavine::ui
