#pragma once
// A test-only build pipeline that behaves like the real one towards the progress
// window: it posts the same numbered messages in the same order, writes a small
// CUE/BIN pair in image mode, and stops when the job is cancelled.

#include "pipeline/build_driver.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace tellavine::testing {

struct FakePipelineState {
    std::atomic<bool> sawCancel{false};
    std::atomic<int> builds{0};
    std::atomic<bool> lastWasImage{false};
    std::atomic<int> photosSeenAfterCancel{-1};  // what the slide stage read finishing its photo
    // What the last build was asked to make.
    std::mutex mutex;
    BuildInputs lastInputs;   // guarded by mutex
    int lastItemsPerPage = 0;  // guarded by mutex
};

struct FakePipelineOptions {
    bool slowSlides = false;  // the slide stage runs until cancelled (at most 20 s)
    int sectors = 40;
};

std::shared_ptr<BuildPipeline> makeFakePipeline(FakePipelineOptions options,
                                                std::shared_ptr<FakePipelineState> state);

}  // namespace tellavine::testing
