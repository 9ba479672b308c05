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
    receiver->answerSend = [](const testing::ReceivedMessage& sent) { return sent.id + sent.wParam; };
    target.post(WM_MENU_ENCODE_BEGIN);  // nobody attached yet
    target.post(Message{WM_BURN_ERROR, 0, 0, "dropped with its text"});
    target.attach(receiver);
    target.post(WM_SLIDE_PROGRESS, 3, 10);
    EXPECT_EQ(target.send(WM_ERASE_TICK, 5), WM_ERASE_TICK + 5);
    target.post(Message{WM_BURN_ERROR, 0, 0, "Medium not present"});
    target.detach();
    target.post(WM_BUILD_FAILED);
    target.post(Message{WM_BURN_ERROR, 0, 0, "dropped with its text"});
    EXPECT_EQ(target.send(WM_ERASE_TICK, 5), 0);
    const auto received = receiver->messages();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].id, WM_SLIDE_PROGRESS);
    EXPECT_EQ(received[0].wParam, 3);
    EXPECT_EQ(received[0].lParam, 10);
    EXPECT_FALSE(received[0].sent);
    EXPECT_EQ(received[1].id, WM_ERASE_TICK);
    EXPECT_TRUE(received[1].sent);
    EXPECT_EQ(received[2].id, WM_BURN_ERROR);
    EXPECT_EQ(received[2].text, "Medium not present");
}

TEST(MessageTarget, CopiesShareOneReceiverAndSurviveTheWindow) {
    MessageTarget target;
    MessageTarget workerCopy = target;
    std::weak_ptr<RecordingReceiver> watch;
    {
        auto receiver = std::make_shared<RecordingReceiver>();
        watch = receiver;
        target.attach(receiver);
        workerCopy.post(WM_BURN_START);
        EXPECT_EQ(receiver->messages().size(), 1u);
        target.detach();  // the window closes
    }
    EXPECT_TRUE(watch.expired());
    std::thread worker([&] { for (int i = 0; i < 1000; ++i) workerCopy.post(WM_BURN_PROGRESS); });
    worker.join();
    EXPECT_FALSE(workerCopy.attached());
}

}  // namespace
}  // namespace tellavine
