#pragma once
// Layout state of an authoring object between beginOutput and endOutput.

#include "vcd/authoring_object.h"
#include "vcd/control_files.h"
#include "vcd/iso_track.h"

namespace tellavine::vcd {

struct AuthoringObject::Layout {
    IsoTrackLayout iso;
    PsdSizes psd;
    bool playbackControl = false;
    std::uint32_t totalSectors = 0;
};

}  // namespace tellavine::vcd
