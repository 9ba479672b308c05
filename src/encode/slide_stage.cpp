#include "encode/slide_stage.h"

#include "compose/slide_frame.h"
#include "encode/multiplexer.h"
#include "encode/music_stage.h"
#include "encode/still_encoder.h"
#include "platform/numbered_messages.h"
#include "platform/text.h"
#include "project/messages.h"
#include "project/strings.h"

#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tellavine {
namespace {

SlideFrameRequest frameRequest(StillResolution resolution, const BuildInputs& inputs) {
    SlideFrameRequest request;
    request.standard = inputs.options.tvStandard;
    request.aspect = inputs.options.aspectCorrection;
    request.cropPercent = inputs.options.tvCropping;
    request.resolution = resolution;
    return request;
}

// False after telling the user the photo cannot be read. The fixed reason alone does
// not say which photo; its path follows on a line of its own.
bool reportUnreadable(const PreparedFrame& prepared, const std::string& path, const BuildInputs& inputs) {
    if (!prepared.readable) {
        inputs.services.showText(fillPlaceholder(tableText(IDS_DECODE_ERROR), tableText(IDS_NEW_IMAGE_FAILED)) + "\n" + path);
    }
    return prepared.readable;
}

// Writes the still of a readable photo: the one a lane encoded ahead, or the frame
// encoded now, which is released as soon as it is encoded.
bool writeStill(PreparedFrame& prepared, const std::string& path, StillWrite write, const BuildInputs& inputs) {
    if (prepared.still) {
        return okOrReported(finishStill(*prepared.still, std::move(prepared.reply), path, write), inputs.services);
    }
    const bool encoded =
        okOrReported(encodeStill(stillPictureOf(*prepared.frame), path, stillFormatOf(inputs.options), write), inputs.services);
    prepared.frame.reset();
    return encoded;
}

// Lanes that compose and encode: one per core the build may use, at most two.
int defaultEncodingWorkers() {
    cpu_set_t usable;
    if (sched_getaffinity(0, sizeof usable, &usable) != 0) return 1;
    return std::clamp(CPU_COUNT(&usable), 1, 2);
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }

// The segment of an album without music from the photo's composed frame (or nothing
// when it could not be read).
bool encodeSegmentOfFrame(const Slide& slide, PreparedFrame prepared, const std::string& outputPath,
                          const BuildInputs& inputs) {
    inputs.services.log(formatText("Convert JPEG %s to MPEG.", slide.path.c_str()));
    const std::string stillPath = inputs.tempDir + "temp_d.m1v";
    if (!reportUnreadable(prepared, slide.path, inputs)) return false;
    if (!writeStill(prepared, stillPath, StillWrite::Create, inputs)) return false;
    if (!okOrReported(multiplexStillPair(outputPath, stillPath, stockStillPath(inputs)), inputs.services)) return false;
    removeFile(stillPath);
    inputs.services.log(formatText("Convert JPEG %s to MPEG OK!", slide.path.c_str()));
    return true;
}

// One still of an album with music, appended to (or starting) its stream.
bool encodeStillOfFrame(const Slide& slide, PreparedFrame prepared, const std::string& streamPath, bool create,
                        const BuildInputs& inputs) {
    inputs.services.log(formatText("Convert JPEG %s to MPEG.", slide.path.c_str()));
    if (!reportUnreadable(prepared, slide.path, inputs)) return false;
    if (!writeStill(prepared, streamPath, create ? StillWrite::Create : StillWrite::Append, inputs)) return false;
    inputs.services.log(formatText("Convert JPEG %s to .m1v OK!", slide.path.c_str()));
    return true;
}

// Every still the stage composes, in the order it encodes them: the 704-wide still of
// each photo, followed by its 352-wide still in albums with music.
std::vector<FrameOrder> stageFrameOrders(Project& project, const BuildInputs& inputs) {
    std::vector<FrameOrder> orders;
    for (int n = 0; n < project.albumCount(); ++n) {
        Album& album = project.album(n);
        for (auto& slide : album.slides) {
            orders.push_back({slide.get(), frameRequest(StillResolution::HighRes, inputs)});
            if (album.hasMusic()) orders.push_back({slide.get(), frameRequest(StillResolution::NormalRes, inputs)});
        }
    }
    return orders;
}

// The lanes' workers: none when the build thread encodes (one worker), else one each.
// With one, the next photo is composed while the build thread encodes this one; with
// more, each lane composes and encodes alternate photos while the build thread writes
// and multiplexes them in order.
std::vector<std::unique_ptr<MpegWorkerClient>> laneWorkers(const SlideStageOptions& stageOptions) {
    const int count = stageOptions.encodingWorkers > 0 ? stageOptions.encodingWorkers : defaultEncodingWorkers();
    std::vector<std::unique_ptr<MpegWorkerClient>> workers;
    for (int i = 0; count > 1 && i < count; ++i) workers.push_back(std::make_unique<MpegWorkerClient>());
    return workers;
}

std::vector<MpegWorkerClient*> lanesOf(const std::vector<std::unique_ptr<MpegWorkerClient>>& workers) {
    std::vector<MpegWorkerClient*> lanes;
    for (const auto& worker : workers) lanes.push_back(worker.get());
    return lanes;
}

}  // namespace

std::string stockStillPath(const BuildInputs& inputs) {
    return inputs.programDir + (inputs.options.tvStandard == TvStandard::PAL ? "temp_x.npal" : "temp_x.ntsc");
}

SlidePhotoLanes::SlidePhotoLanes(const BuildInputs& inputs, const SlideStageOptions& stageOptions)
    : workers_(laneWorkers(stageOptions)),
      frames_(stageFrameOrders(*inputs.project, inputs), lanesOf(workers_), stillFormatOf(inputs.options)) {}

bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs, const SlideStageOptions& stageOptions) {
    SlidePhotoLanes lanes(inputs, stageOptions);
    return encodeAlbumSlides(job, inputs, lanes);
}

bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs, SlidePhotoLanes& lanes) {
    // Drawing captions writes anchored positions back into the slides; the modal
    // progress window keeps the user from editing them meanwhile.
    Project& project = *inputs.project;
    const int total = project.totalPhotoCount();
    int done = 0;
    const std::string& temp = inputs.tempDir;
    FramePrefetcher& frames = lanes.frames();

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
                if (!encodeSegmentOfFrame(slide, std::move(*frames.next()),
                                          formatText("%smenu_%02d_pic_%02d.mpg", temp.c_str(), n, static_cast<int>(m)),
                                          inputs)) {
                    return false;
                }
                continue;
            }
            const bool first = m == 1;
            if (!encodeStillOfFrame(slide, std::move(*frames.next()), streamBase + ".m1v", first, inputs) ||
                !encodeStillOfFrame(slide, std::move(*frames.next()), streamBase + "_small.m1v", first, inputs)) {
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
        if (!okOrReported(multiplexStillSequence(streamBase + ".mpg",
                                                 {streamBase + ".mp2", streamBase + "_small.m1v", streamBase + ".m1v"},
                                                 options),
                          inputs.services)) {
            return false;
        }
        removeFile(streamBase + ".mp2");
        removeFile(streamBase + "_small.m1v");
        removeFile(streamBase + ".m1v");
    }
    return true;
}

}  // namespace tellavine
