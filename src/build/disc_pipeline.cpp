#include "build/disc_pipeline.h"

namespace tellavine {
namespace {

// Until the encoding stages and the authoring object are joined here, every build
// stops at its first stage and reports the failure like any failed build.
class UnavailablePipeline : public BuildPipeline {
public:
    bool encodeDiscMenu(BuildJob&, const BuildInputs&) override { return false; }
    bool encodeAlbumSlides(BuildJob&, const BuildInputs&) override { return false; }
    std::unique_ptr<BuildSink> createImageSink(BuildJob&, const BuildInputs&) override { return nullptr; }
    std::unique_ptr<DiscWriter> assembleDisc(BuildJob&, const BuildInputs&, BuildSink&) override {
        return nullptr;
    }
};

}  // namespace

std::shared_ptr<BuildPipeline> makeDiscPipeline() {
    return std::make_shared<UnavailablePipeline>();
}

}  // namespace tellavine
