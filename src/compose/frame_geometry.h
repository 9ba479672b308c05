#pragma once
// Television frame geometry shared by slide frames and menu pages: the square-pixel
// composition frame of each standard and aspect correction, the output still size, the
// TV-safe area of a crop percentage, and fitting a photo whole into an area.

#include "compose/still_frame.h"
#include "project/model.h"

namespace tellavine {

struct FrameSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

// Aspect values other than Aspect4x3 and Aspect16x9 (a damaged project) behave as
// NoCorrection.
FrameSize compositionFrameSize(TvStandard standard, AspectCorrection aspect, StillResolution resolution);
FrameSize outputStillSize(TvStandard standard, StillResolution resolution);

// The crop that takes effect: 1 to 20 as given, anything else 0.
int effectiveCrop(int cropPercent);

// The safe area inside a W x H frame: (100 - crop) percent of each side, centred; the
// offsets are its left edge and its bottom edge (rows counted from the bottom).
struct SafeArea {
    int width = 0;
    int height = 0;
    int left = 0;
    int bottom = 0;
};
SafeArea safeArea(FrameSize frame, int cropPercent);

// A w x h photo fitted whole into an areaWidth x areaHeight area keeping its proportions:
// its size and its offset in the area (vertical offset from either edge: it is centred).
struct Placement {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};
Placement fitPhoto(int w, int h, int areaWidth, int areaHeight);

}  // namespace tellavine
