#pragma once
// The leading part of a build's record that the image sink and the recorder feed see:
// where progress goes, how many sectors the image has, and the cancel signal.

#include "platform/event.h"
#include "platform/message_target.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace tellavine {

struct SinkOwner {
    MessageTarget window;                     // progress messages are posted here
    std::atomic<std::int32_t> imageSectors{0};  // 0 until the disc is laid out
    std::shared_ptr<Event> cancelEvent = std::make_shared<Event>();  // set = cancel

    bool cancelled() const { return cancelEvent && cancelEvent->isSet(); }
};

}  // namespace tellavine
