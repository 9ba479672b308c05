#include "platform/event.h"

#include <gtest/gtest.h>

#include <thread>

namespace tellavine {
namespace {

using namespace std::chrono_literals;

TEST(Event, StaysSetUntilResetAndReleasesEveryWaiter) {
    Event event;
    EXPECT_FALSE(event.waitFor(1ms));
    std::thread a([&] { event.wait(); });
    std::thread b([&] { event.wait(); });
    event.set();
    a.join();
    b.join();
    EXPECT_TRUE(event.isSet());
    EXPECT_TRUE(event.waitFor(0ms));  // manual reset: still set after the waits
    event.reset();
    EXPECT_FALSE(event.isSet());
}

}  // namespace
}  // namespace tellavine
