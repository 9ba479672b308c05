#include "encode/slide_stage.h"

#include "compose/slide_frame.h"
#include "encode/multiplexer.h"
#include "encode/music_stage.h"
#include "encode/still_encoder.h"
#include "platform/text.h"
#include "project/messages.h"
#include "project/strings.h"

#include <cstdio>

namespace tellavine {
namespace {

StillPicture pictureOf(const StillFrame& frame) {
    StillPicture picture;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.bottomUpRows = frame.bits.data();
    picture.rowStride = frame.rowBytes();
    picture.order = PixelOrder::Bgr;
    return picture;
}

// The frame of a photo, or nothing after telling the user it cannot be read.
std::optional<StillFrame> composeOrReport(Slide& slide, StillResolution resolution, const BuildInputs& inputs) {
    SlideFrameRequest request;
    request.standard = inputs.options.tvStandard;
    request.aspect = inputs.options.aspectCorrection;
    request.cropPercent = inputs.options.tvCropping;
    request.resolution = resolution;
    auto frame = composeSlideFrame(slide, request);
    if (!frame) showText(fillPlaceholder(tableText(IDS_DECODE_ERROR), tableText(IDS_NEW_IMAGE_FAILED)));
    return frame;
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }

}  // namespace

std::string stockStillPath(const BuildInputs& inputs) {
    return inputs.programDir + (inputs.options.tvStandard == TvStandard::PAL ? "temp_x.npal" : "temp_x.ntsc");
}

bool encodePhotoSegment(Slide& slide, const std::string& outputPath, const BuildInputs& inputs) {
    appendRunLog(formatText("Convert JPEG %s to MPEG.", slide.path.c_str()));
    const std::string stillPath = inputs.tempDir + "temp_d.m1v";
    {
        // The frame is released as soon as it is encoded.
        auto frame = composeOrReport(slide, StillResolution::HighRes, inputs);
        if (!frame) return false;
        if (!encodeStill(pictureOf(*frame), stillPath, inputs.options.tvStandard, StillWrite::Create)) return false;
    }
    if (!multiplexStillPair(outputPath, stillPath, stockStillPath(inputs))) return false;
    removeFile(stillPath);
    appendRunLog(formatText("Convert JPEG %s to MPEG OK!", slide.path.c_str()));
    return true;
}

bool encodePhotoStill(Slide& slide, const std::string& streamPath, bool create, StillResolution resolution,
                      const BuildInputs& inputs) {
    appendRunLog(formatText("Convert JPEG %s to MPEG.", slide.path.c_str()));
    auto frame = composeOrReport(slide, resolution, inputs);
    if (!frame) return false;
    if (!encodeStill(pictureOf(*frame), streamPath, inputs.options.tvStandard,
                     create ? StillWrite::Create : StillWrite::Append)) {
        return false;
    }
    appendRunLog(formatText("Convert JPEG %s to .m1v OK!", slide.path.c_str()));
    return true;
}

bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs) {
    // Drawing captions writes anchored positions back into the slides; the modal
    // progress window keeps the user from editing them meanwhile.
    Project& project = *inputs.project;
    const int total = project.totalPhotoCount();
    int done = 0;
    const std::string& temp = inputs.tempDir;

    for (int n = 1; n <= project.albumCount(); ++n) {
        Album& album = project.album(n - 1);
        const std::string streamBase = formatText("%smenu_%02d_pic_01", temp.c_str(), n);
        int encoded = 0;
        for (std::size_t m = 1; m <= album.slides.size(); ++m) {
            if (job.cancelled()) return false;
            job.window.post(WM_SLIDE_PROGRESS, done, total);
            ++done;
            Slide& slide = *album.slides[m - 1];
            if (!album.hasMusic()) {
                if (!encodePhotoSegment(slide, formatText("%smenu_%02d_pic_%02d.mpg", temp.c_str(), n, static_cast<int>(m)),
                                        inputs)) {
                    return false;
                }
                continue;
            }
            const bool first = m == 1;
            if (!encodePhotoStill(slide, streamBase + ".m1v", first, StillResolution::HighRes, inputs) ||
                !encodePhotoStill(slide, streamBase + "_small.m1v", first, StillResolution::NormalRes, inputs)) {
                return false;
            }
            ++encoded;
        }
        if (!album.hasMusic()) continue;

        const int play = album.playTime;
        if (!encodeAlbumMusic(job, inputs, streamBase + ".mp2", album.musicPath, play * encoded)) return false;
        StillSequenceOptions options;
        options.secondsPerStill = play;
        options.displayName = album.name;
        if (!multiplexStillSequence(streamBase + ".mpg", {streamBase + ".mp2", streamBase + "_small.m1v", streamBase + ".m1v"},
                                    options)) {
            return false;
        }
        removeFile(streamBase + ".mp2");
        removeFile(streamBase + "_small.m1v");
        removeFile(streamBase + ".m1v");
    }
    return true;
}

}  // namespace tellavine
