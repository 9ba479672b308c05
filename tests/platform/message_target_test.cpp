#include "platform/message_target.h"

#include "support/recording_receiver.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tellavine {
namespace {

using testing::RecordingReceiver;

TEST(MessageTarget, DeliversWhileAttachedAndDropsAfterwards) {
    MessageTarget target;
    auto receiver = std::make_shared<RecordingReceiver>();
    receiver->answerSend = [](const testing::ReceivedMessage& sent) { return sent.message + sent.wParam; };
    target.post(1124);  // nobody attached yet
    target.attach(receiver);
    target.post(1127, 3, 10);
    EXPECT_EQ(target.send(4000, 5), 4005);
    target.detach();
    target.post(1126);
    EXPECT_EQ(target.send(4000, 5), 0);
    const auto received = receiver->messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, 1127u);
    EXPECT_EQ(received[0].wParam, 3);
    EXPECT_EQ(received[0].lParam, 10);
    EXPECT_FALSE(received[0].sent);
    EXPECT_EQ(received[1].message, 4000u);
    EXPECT_TRUE(received[1].sent);
}

TEST(MessageTarget, CopiesShareOneReceiverAndSurviveTheWindow) {
    MessageTarget target;
    MessageTarget workerCopy = target;
    std::weak_ptr<RecordingReceiver> watch;
    {
        auto receiver = std::make_shared<RecordingReceiver>();
        watch = receiver;
        target.attach(receiver);
        workerCopy.post(1);
        EXPECT_EQ(receiver->messages().size(), 1u);
        target.detach();  // the window closes
    }
    EXPECT_TRUE(watch.expired());
    std::thread worker([&] { for (int i = 0; i < 1000; ++i) workerCopy.post(2); });
    worker.join();
    EXPECT_FALSE(workerCopy.attached());
}

}  // namespace
}  // namespace tellavine
