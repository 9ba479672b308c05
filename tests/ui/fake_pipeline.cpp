#include "fake_pipeline.h"

#include "platform/numbered_messages.h"

#include <chrono>
#include <thread>
#include <cstring>
#include <fstream>
#include <vector>

namespace tellavine::testing {
namespace {

using namespace std::chrono_literals;

class NoSink : public BuildSink {};

class FakeWriter : public DiscWriter {
public:
    FakeWriter(int sectors, bool image) : sectors_(sectors), image_(image) {}
    std::int32_t beginOutput() override { return sectors_; }
    bool writeImage(BuildSink&, BuildJob& job) override {
        if (!image_) {
            job.window.post(WM_BURN_PREPARE);
            job.window.post(WM_BURN_START);
            for (int i = 0; i < sectors_; ++i) job.window.post(WM_BURN_PROGRESS, i, sectors_);
            job.window.post(WM_BURN_FINISHING);
            job.window.post(WM_FLUSH_CACHE);
            job.window.post(WM_RECORDER_WAIT);
            job.window.post(WM_BURN_DONE);
            return true;
        }
        std::ofstream bin(job.binPath, std::ios::binary | std::ios::trunc);
        const std::vector<char> sector(2352, '\0');
        job.window.post(WM_IMAGE_BEGIN);
        for (int i = 0; i < sectors_ && bin; ++i) {
            bin.write(sector.data(), static_cast<std::streamsize>(sector.size()));
            job.window.post(WM_IMAGE_SECTOR);
        }
        std::ofstream cue(job.cuePath, std::ios::trunc);
        cue << "FILE \"" << job.binPath << "\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n";
        if (!bin || !cue) return false;
        job.window.post(WM_IMAGE_DONE);
        return true;
    }
    void endOutput() override {}

private:
    int sectors_;
    bool image_;
};

class FakePipeline : public BuildPipeline {
public:
    FakePipeline(FakePipelineOptions options, std::shared_ptr<FakePipelineState> state)
        : options_(options), state_(std::move(state)) {}

    bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs) override {
        {
            std::lock_guard lock(state_->mutex);
            state_->lastInputs = inputs;
            state_->lastItemsPerPage = job.itemsPerPage;
        }
        ++state_->builds;
        return true;
    }
    bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs) override {
        const int photos = inputs.project ? inputs.project->totalPhotoCount() : 0;
        for (int i = 0; i < photos; ++i) job.window.post(WM_SLIDE_PROGRESS, i, photos);
        if (!options_.slowSlides) return true;
        if (job.cancelEvent->waitFor(20s)) {
            state_->sawCancel = true;
            // Like the real stage, finish the photo at hand: the project is still read.
            std::this_thread::sleep_for(300ms);
            state_->photosSeenAfterCancel = inputs.project->totalPhotoCount();
            return false;
        }
        return true;
    }
    std::unique_ptr<BuildSink> createImageSink(BuildJob&, const BuildInputs&) override {
        return std::make_unique<NoSink>();
    }
    std::unique_ptr<DiscWriter> assembleDisc(BuildJob&, const BuildInputs& inputs, BuildSink&) override {
        const bool image = inputs.options.outputTarget == OutputTarget::ImageFile;
        state_->lastWasImage = image;
        return std::make_unique<FakeWriter>(options_.sectors, image);
    }

private:
    FakePipelineOptions options_;
    std::shared_ptr<FakePipelineState> state_;
};

}  // namespace

std::shared_ptr<BuildPipeline> makeFakePipeline(FakePipelineOptions options, std::shared_ptr<FakePipelineState> state) {
    return std::make_shared<FakePipeline>(options, std::move(state));
}

}  // namespace tellavine::testing
