#include "pipeline/disc_pipeline.h"

#include "pipeline/disc_assembly.h"
#include "pipeline/build_checks.h"
#include "encode/menu_stage.h"
#include "encode/slide_stage.h"
#include "project/messages.h"
#include "vcd/image_sink.h"

namespace tellavine {
namespace {

// The image sink as the driver holds it.
class VcdBuildSink : public BuildSink {
public:
    explicit VcdBuildSink(std::unique_ptr<vcd::ImageSink> sink) : sink_(std::move(sink)) {}
    vcd::ImageSink& sink() { return *sink_; }
    bool recorderReports() const override { return sink_->recorderFeedStarted(); }

private:
    std::unique_ptr<vcd::ImageSink> sink_;
};

// The authoring object as the driver uses it after assembly.
class VcdDiscWriter : public DiscWriter {
public:
    VcdDiscWriter(std::unique_ptr<vcd::AuthoringObject> disc, EngineServices services)
        : disc_(std::move(disc)), services_(std::move(services)) {}

    std::int32_t beginOutput() override {
        const std::int64_t sectors = disc_->beginOutput();
        laidOut_ = sectors >= 0;
        if (!laidOut_) {
            services_.showText("The disc cannot be laid out: " + disc_->failureReason());
            return 0;
        }
        return static_cast<std::int32_t>(sectors);
    }

    bool writeImage(BuildSink& sink, BuildJob& job) override {
        if (!laidOut_) return false;
        auto& vcdSink = static_cast<VcdBuildSink&>(sink).sink();
        const int result = disc_->writeImage(&vcdSink, {}, job);
        if (result != vcd::kWriteComplete && !job.cancelled() && !disc_->failureReason().empty()) {
            services_.log("Writing the image stopped: " + disc_->failureReason());
        }
        return result == vcd::kWriteComplete;
    }

    void endOutput() override { disc_->endOutput(); }

private:
    std::unique_ptr<vcd::AuthoringObject> disc_;
    EngineServices services_;
    bool laidOut_ = false;
};

class DiscPipeline : public BuildPipeline {
public:
    explicit DiscPipeline(std::shared_ptr<vcd::RecorderHooks> recorder) : recorder_(std::move(recorder)) {}

    bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs) override {
        // Projects that cannot make a playable disc are refused before any work.
        if (!checkProjectForBuild(job, inputs)) return false;
        photoLanes_ = std::make_unique<SlidePhotoLanes>(inputs);
        if (tellavine::encodeDiscMenu(job, inputs)) return true;
        photoLanes_.reset();
        return false;
    }
    bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs) override {
        if (!photoLanes_) photoLanes_ = std::make_unique<SlidePhotoLanes>(inputs);
        const bool encoded = tellavine::encodeAlbumSlides(job, inputs, *photoLanes_);
        photoLanes_.reset();
        return encoded;
    }
    std::unique_ptr<BuildSink> createImageSink(BuildJob& job, const BuildInputs& inputs) override {
        vcd::SinkTarget target;
        target.imageFile = inputs.options.outputTarget == OutputTarget::ImageFile;
        if (!target.imageFile) target.recorder = recorder_;
        target.prompt = inputs.services.prompt;
        auto sink = vcd::createImageSink(job.cuePath, job.binPath, job, std::move(target));
        if (!sink) return nullptr;
        return std::make_unique<VcdBuildSink>(std::move(sink));
    }
    std::unique_ptr<DiscWriter> assembleDisc(BuildJob& job, const BuildInputs& inputs, BuildSink&) override {
        auto disc = tellavine::assembleDisc(job, inputs);
        if (!disc) return nullptr;
        return std::make_unique<VcdDiscWriter>(std::move(disc), inputs.services);
    }

private:
    std::shared_ptr<vcd::RecorderHooks> recorder_;
    std::unique_ptr<SlidePhotoLanes> photoLanes_;  // started with the disc menu, used by the slides
};

}  // namespace

std::shared_ptr<BuildPipeline> makeDiscPipeline(std::shared_ptr<vcd::RecorderHooks> recorder) {
    return std::make_shared<DiscPipeline>(std::move(recorder));
}

}  // namespace tellavine
