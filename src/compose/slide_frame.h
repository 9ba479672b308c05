#pragma once
// Turning one photo of an album into a television still: rotated as the user asked,
// fitted whole into the TV-safe area of the square-pixel composition frame, centred on
// black, captioned, and squeezed to the still's width by the aspect correction.

#include "compose/still_frame.h"
#include "project/model.h"

#include <optional>

namespace tellavine {

struct SlideFrameRequest {
    TvStandard standard = TvStandard::PAL;
    AspectCorrection aspect = AspectCorrection::NoCorrection;
    int cropPercent = 0;
    StillResolution resolution = StillResolution::HighRes;
    // Let a JPEG many times larger than the frame decode at a DCT reduction; the still
    // stays within 45 dB PSNR of decoding it whole. Off for bit-exact stills.
    bool reducedDecoding = true;
};

// The still of `slide`, or nothing when its photo cannot be loaded. The slide changes
// only where drawing an anchored caption writes its position back.
std::optional<StillFrame> composeSlideFrame(Slide& slide, const SlideFrameRequest& request);

// The rotation of a slide applied to a picture: 90 = right, 180, 270 = left; other
// values leave it as it is.
void rotateBySlide(Picture& picture, int rotation);

}  // namespace tellavine
