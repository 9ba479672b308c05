#include "compose/slide_frame.h"

#include "compose/caption.h"
#include "compose/frame_geometry.h"
#include "imaging/codec.h"

namespace tellavine {

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

    Picture photo = loadPicture(slide.path).picture;
    if (!photo.valid()) return std::nullopt;
    rotateBySlide(photo, slide.rotation);

    const SafeArea area = safeArea(frameSize, request.cropPercent);
    const Placement place = fitPhoto(photo.width(), photo.height(), area.width, area.height);
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
