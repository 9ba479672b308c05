#include "compose/slide_frame.h"

#include "compose/caption.h"
#include "compose/frame_geometry.h"
#include "imaging/codec.h"

#include <algorithm>
#include <utility>

namespace tellavine {
namespace {

// How many times the safe area's longer side the reduced photo's shorter side keeps.
// At 1 a 12-megapixel photo decodes at 1/4 for a 704-wide still (1/2 at 2): the frame
// then stays 48.8 to 55.6 dB from decoding the photo whole (50.2 to 60.4 dB at 2, both
// far above the 41 to 42 dB the MPEG coding keeps), and composing it costs a third.
constexpr int kReducedDecodeMargin = 1;

}  // namespace

void rotateBySlide(Picture& picture, int rotation) {
    switch (rotation) {
        case 90: picture.rotateRight(); break;
        case 180: picture.rotate180(); break;
        case 270: picture.rotateLeft(); break;
        default: break;
    }
}

std::optional<StillFrame> composeSlideFrame(Slide& slide, const SlideFrameRequest& request) {
    const FrameSize frameSize = compositionFrameSize(request.standard, request.aspect, request.resolution);
    const FrameSize output = outputStillSize(request.standard, request.resolution);

    const SafeArea area = safeArea(frameSize, request.cropPercent);
    // A camera photo many times larger than the frame decodes at a DCT reduction that
    // still leaves at least the frame's longer side (in either orientation) to average
    // down, so the photo is never enlarged; the placement comes from the full size so
    // the geometry stays exact.
    DecodeOptions options;
    if (request.reducedDecoding) options.minimumSide = kReducedDecodeMargin * std::max(area.width, area.height);
    PictureLoad load = loadPicture(slide.path, PictureType::Unknown, options);
    Picture photo = std::move(load.picture);
    if (!photo.valid()) return std::nullopt;
    rotateBySlide(photo, slide.rotation);
    PictureSize full = load.fullSize;
    if (slide.rotation == 90 || slide.rotation == 270) std::swap(full.width, full.height);

    const Placement place = fitPhoto(full.width, full.height, area.width, area.height);
    // A photo so thin that one side truncates to 0 stays unresized and is cut by the frame.
    photo.resample(place.width, place.height);

    Picture working;
    if (place.x != 0 || place.y != 0 || area.left != 0 || area.bottom != 0) {
        working = Picture::create(frameSize.width, frameSize.height);
        working.mix(photo, place.x + area.left, place.y + area.bottom);
        photo = Picture();
    } else {
        working = std::move(photo);  // fills the frame, or falls a pixel short of it
    }

    if (slide.hasCaption) drawCaption(working, Rect{0, 0, frameSize.width, frameSize.height}, slide.caption, false);
    if (working.width() != output.width || working.height() != output.height) working.resample(output.width, output.height);
    return makeStillFrame(working, request.resolution);
}

}  // namespace tellavine
