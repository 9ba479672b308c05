#include "pipeline/recorder_session.h"

#include "recorder/recorder_devices.h"
#include "recorder/recorder_feed.h"
#include "vcd/recorder_hooks.h"

namespace tellavine {

// The image sink's recorder hooks, delivered to the recorder feed of this session.
class RecorderSession::FeedAdapter final : public vcd::RecorderHooks {
public:
    explicit FeedAdapter(BaseDriver& driver) : driver_(driver) {}

    void beginRecorderCueSheet() override { feed_.beginCueSheet(); }
    bool addRecorderCueEntry(std::uint8_t track, std::uint8_t index, std::uint32_t absoluteAddress) override {
        return feed_.addCueEntry(track, index, absoluteAddress);
    }
    void openRecorderQueue() override { feed_.openQueue(driver_.takesRawSectors()); }
    bool startRecorderFeed(SinkOwner& owner) override { return feed_.start(owner, driver_); }
    void queueRecorderSector(const vcd::Mode2Sector& sector) override { feed_.queueSector(sector); }
    void closeRecorderQueue(bool complete) override {
        if (complete) feed_.closeQueue();
        else feed_.abandonQueue();
    }
    int wait() { return feed_.wait(); }

private:
    BaseDriver& driver_;
    tellavine::RecorderFeed feed_;
};

std::unique_ptr<RecorderSession> RecorderSession::open(const std::string& device, int writingMode,
                                                       std::string& error, std::shared_ptr<Prompt> prompt) {
    auto opened = openRecorder(device);
    if (!opened.transport) {
        error = opened.error;
        return nullptr;
    }
    std::unique_ptr<RecorderSession> session(new RecorderSession);
    session->transport_ = std::move(opened.transport);
    session->driver_ = createDriver(writingMode, *session->transport_);
    if (prompt) session->driver_->setPrompt(std::move(prompt));
    return session;
}

RecorderSession::~RecorderSession() {
    if (feed_) feed_->wait();
}

std::shared_ptr<vcd::RecorderHooks> RecorderSession::prepareBurn(const RecordingOptions& options) {
    if (feed_) feed_->wait();  // a feed refuses to start while an earlier run goes on
    driver_->setRecordingOptions(options);
    feed_ = std::make_shared<FeedAdapter>(*driver_);
    return feed_;
}

int RecorderSession::finishBurn() {
    return feed_ ? feed_->wait() : -1;
}

}  // namespace tellavine
