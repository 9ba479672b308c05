#include "compose/frame_geometry.h"

namespace tellavine {

FrameSize compositionFrameSize(TvStandard standard, AspectCorrection aspect, StillResolution resolution) {
    const bool pal = standard == TvStandard::PAL;
    const bool high = resolution == StillResolution::HighRes;
    switch (aspect) {
        case AspectCorrection::Aspect4x3:
            if (pal) return high ? FrameSize{768, 576} : FrameSize{384, 288};
            return high ? FrameSize{640, 480} : FrameSize{320, 240};
        case AspectCorrection::Aspect16x9:
            if (pal) return high ? FrameSize{1024, 576} : FrameSize{512, 288};
            return high ? FrameSize{853, 480} : FrameSize{426, 240};
        default:
            return outputStillSize(standard, resolution);
    }
}

FrameSize outputStillSize(TvStandard standard, StillResolution resolution) {
    const bool pal = standard == TvStandard::PAL;
    if (resolution == StillResolution::HighRes) return pal ? FrameSize{704, 576} : FrameSize{704, 480};
    return pal ? FrameSize{352, 288} : FrameSize{352, 240};
}

int effectiveCrop(int cropPercent) { return cropPercent >= 1 && cropPercent <= 20 ? cropPercent : 0; }

SafeArea safeArea(FrameSize frame, int cropPercent) {
    const int crop = effectiveCrop(cropPercent);
    SafeArea area;
    area.width = (100 - crop) * frame.width / 100;
    area.height = (100 - crop) * frame.height / 100;
    area.left = (frame.width - area.width) / 2;
    area.bottom = (frame.height - area.height) / 2;
    return area;
}

Placement fitPhoto(int w, int h, int areaWidth, int areaHeight) {
    Placement p;
    if (w <= 0 || h <= 0) return p;
    if (w > h) {
        p.width = areaWidth;
        p.height = static_cast<int>(static_cast<double>(h) / w * areaWidth);
        p.x = 0;
        p.y = (areaHeight - p.height) / 2;
        if (p.height > areaHeight) {
            p.height = areaHeight;
            p.width = static_cast<int>(static_cast<double>(w) * areaHeight / h);
            p.x = (areaWidth - p.width) / 2;
            p.y = 0;
        }
    } else {
        p.height = areaHeight;
        p.width = static_cast<int>(static_cast<double>(w) / h * areaHeight);
        p.x = (areaWidth - p.width) / 2;
        p.y = 0;
    }
    return p;
}

}  // namespace tellavine
