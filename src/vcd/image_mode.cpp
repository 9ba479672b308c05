#include "vcd/image_mode.h"
#include "vcd/recorder_hooks.h"

#include <atomic>
#include <mutex>

namespace tellavine::vcd {
namespace {

std::atomic<bool> imageFileModeFlag{true};

std::mutex feedMutex;
std::shared_ptr<RecorderFeed> installedFeed;  // guarded by feedMutex

}  // namespace

void setImageFileMode(bool imageFile) { imageFileModeFlag = imageFile; }
bool imageFileMode() { return imageFileModeFlag; }

void setRecorderFeed(std::shared_ptr<RecorderFeed> feed) {
    std::lock_guard lock(feedMutex);
    installedFeed = std::move(feed);
}

std::shared_ptr<RecorderFeed> recorderFeed() {
    std::lock_guard lock(feedMutex);
    return installedFeed;
}

}  // namespace tellavine::vcd
