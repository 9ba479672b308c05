#include "cli/interrupt_pipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace tellavine::cli {
namespace {

std::atomic<int> handlerCalls{0};
extern "C" void countingHandler(int) { ++handlerCalls; }

// An interrupt wakes the waiting thread at once (no polling tick), the end of the build
// wakes it from another thread, and the handler that was there before comes back.
TEST(InterruptPipe, InterruptAndFinishWakeTheWaiterAndThePreviousHandlerReturns) {
    std::signal(SIGINT, countingHandler);
    {
        InterruptPipe interrupts;
        EXPECT_FALSE(interrupts.interrupted());
        std::raise(SIGINT);
        EXPECT_TRUE(interrupts.interrupted());
        EXPECT_EQ(interrupts.waitForWake(), InterruptPipe::Wake::Interrupt);

        std::thread build([&] { interrupts.notifyFinished(); });
        EXPECT_EQ(interrupts.waitForWake(), InterruptPipe::Wake::Finished);
        build.join();
        EXPECT_EQ(handlerCalls, 0);
    }
    std::raise(SIGINT);
    EXPECT_EQ(handlerCalls, 1);
    std::signal(SIGINT, SIG_DFL);

    InterruptPipe next;  // a second run starts without the first one's interrupt
    EXPECT_FALSE(next.interrupted());
}

}  // namespace
}  // namespace tellavine::cli
