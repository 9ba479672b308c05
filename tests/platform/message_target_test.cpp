#include "platform/message_target.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tellavine {
namespace {

struct Recorded {
    unsigned message;
    MessageParam wParam, lParam;
};

class RecordingReceiver : public MessageReceiver {
public:
    void postMessage(unsigned message, MessageParam w, MessageParam l) override {
        std::lock_guard lock(mutex);
        posted.push_back({message, w, l});
    }
    MessageParam sendMessage(unsigned message, MessageParam w, MessageParam) override {
        return static_cast<MessageParam>(message) + w;
    }
    std::mutex mutex;
    std::vector<Recorded> posted;
};

TEST(MessageTarget, DeliversWhileAttachedAndDropsAfterwards) {
    MessageTarget target;
    auto receiver = std::make_shared<RecordingReceiver>();
    target.post(1124);  // nobody attached yet
    target.attach(receiver);
    target.post(1127, 3, 10);
    EXPECT_EQ(target.send(4000, 5), 4005);
    target.detach();
    target.post(1126);
    EXPECT_EQ(target.send(4000, 5), 0);
    ASSERT_EQ(receiver->posted.size(), 1u);
    EXPECT_EQ(receiver->posted[0].message, 1127u);
    EXPECT_EQ(receiver->posted[0].wParam, 3);
    EXPECT_EQ(receiver->posted[0].lParam, 10);
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
        EXPECT_EQ(receiver->posted.size(), 1u);
        target.detach();  // the window closes
    }
    EXPECT_TRUE(watch.expired());
    std::thread worker([&] { for (int i = 0; i < 1000; ++i) workerCopy.post(2); });
    worker.join();
    EXPECT_FALSE(workerCopy.attached());
}

}  // namespace
}  // namespace tellavine
