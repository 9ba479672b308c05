#include "recorder/recorder_feed.h"

#include "platform/cd_geometry.h"
#include "platform/numbered_messages.h"
#include "recorder/scrambler.h"

#include <algorithm>

namespace tellavine {

namespace {
constexpr auto kEmptyQueueWait = std::chrono::milliseconds(200);
}  // namespace

RecorderFeed::RecorderFeed(std::size_t queueBound) : queue_(queueBound) {}

RecorderFeed::~RecorderFeed() {
    if (thread_.joinable()) {
        // Nobody will feed the thread any more: let it end at its next look.
        queue_.closeConsumer();
        thread_.join();
    }
}

void RecorderFeed::openQueue(bool rawSectors) {
    queue_.reset();
    rawSectors_ = rawSectors;
    nextRawAddress_ = kPregapFrames;
    accumulation_ = std::make_unique<RecorderBlock>();
    accumulated_ = 0;
}

void RecorderFeed::queueSector(std::span<const std::uint8_t> sector) {
    if (sector.size() != kRawSectorSize) return;
    if (!accumulation_) accumulation_ = std::make_unique<RecorderBlock>();
    if (accumulated_ == kSectorsPerBlock) return;
    auto& data = accumulation_->data;
    if (rawSectors_) {
        const std::span<std::uint8_t, kRawSectorSize> raw(data.data() + accumulated_ * kRawSectorSize,
                                                           kRawSectorSize);
        std::copy(sector.begin(), sector.end(), raw.begin());
        const auto header = bcdMsfOf(nextRawAddress_);
        std::copy(header.begin(), header.end(), raw.begin() + 12);
        scrambleSector(raw);
    } else {
        std::copy(sector.begin() + 16, sector.end(),
                  data.begin() + static_cast<std::ptrdiff_t>(accumulated_ * kMode2BodySize));
    }
    ++nextRawAddress_;
    if (++accumulated_ == kSectorsPerBlock) pushBlock(RecorderBlockKind::Full);
}

void RecorderFeed::pushBlock(RecorderBlockKind kind) {
    if (!accumulation_) accumulation_ = std::make_unique<RecorderBlock>();
    accumulation_->kind = kind;
    accumulation_->byteLength = static_cast<std::uint32_t>(accumulated_ * kRawSectorSize);
    queue_.push(std::move(accumulation_));
    accumulation_ = std::make_unique<RecorderBlock>();
    accumulated_ = 0;
}

void RecorderFeed::closeQueue() {
    pushBlock(RecorderBlockKind::Last);
    pushBlock(RecorderBlockKind::EndMarker);
}

bool RecorderFeed::start(SinkOwner& owner, BaseDriver& driver) {
    if (thread_.joinable()) return false;
    if (!cueSheet_.complete()) {
        queue_.closeConsumer();
        postError(owner.window, cueSheet_.overflowed() ? "The disc needs more than 300 cue sheet entries."
                                                       : "The disc layout has no lead-out.");
        result_ = -1;
        return false;
    }
    result_ = -1;
    FeedRun feedRun{owner.window, owner.cancelEvent, owner.imageSectors.load()};
    thread_ = std::thread([this, feedRun = std::move(feedRun), &driver] { result_ = run(feedRun, driver); });
    return true;
}

int RecorderFeed::wait() {
    if (thread_.joinable()) thread_.join();
    return result_;
}

void RecorderFeed::postError(const MessageTarget& window, const std::string& text) {
    window.post(Message{WM_BURN_ERROR, 0, 0, text});
}

int RecorderFeed::run(const FeedRun& feedRun, BaseDriver& driver) {
    const Event* cancel = feedRun.cancelEvent.get();
    ScsiTransport* transport = driver.transport();
    auto end = [&](int result) {
        if (transport) transport->closeDevice();
        if (result != 0) queue_.closeConsumer();
        return result;
    };

    driver.setCueSheet(cueSheet_.bytes());
    std::string errorText;
    feedRun.window.post(WM_BURN_PREPARE);
    if (!driver.prepare(errorText, cancel)) {
        postError(feedRun.window, errorText);
        return end(-1);
    }
    feedRun.window.post(WM_BURN_START);
    if (!driver.start(feedRun.window, errorText, cancel)) {
        postError(feedRun.window, errorText);
        return end(-1);
    }

    std::int64_t written = 0;
    while (!feedRun.cancelled()) {
        RecorderBlockPtr block = queue_.pop(kEmptyQueueWait);
        if (!block) {
            if (queue_.consumerClosed()) {
                // The image stopped before its end for a reason of its own (a stream that
                // could not be read again); a cancel is reported by whoever cancelled.
                if (!feedRun.cancelled()) postError(feedRun.window, "The disc image stopped before its end.");
                return end(-1);
            }
            continue;
        }
        if (block->kind == RecorderBlockKind::EndMarker) {
            driver.dataSectorCount = written;
            feedRun.window.post(WM_BURN_FINISHING);
            errorText.clear();
            if (!driver.finish(feedRun.window, errorText, cancel)) {
                postError(feedRun.window, errorText.empty() ? "Error while finishing the disc" : errorText);
                return end(-1);
            }
            end(0);
            feedRun.window.post(WM_BURN_DONE);
            return 0;
        }
        const std::size_t maxChunk = kSectorsPerBlock * kRawSectorSize;
        for (std::size_t offset = 0; offset < block->byteLength;) {
            const std::size_t chunk = std::min<std::size_t>(maxChunk, block->byteLength - offset);
            const std::span<const std::uint8_t> bytes(block->data.data() + offset, chunk);
            if (!driver.writeBlock(static_cast<std::int32_t>(written), bytes, cancel)) {
                if (!feedRun.cancelled())
                    postError(feedRun.window, "Error while writing cd\n" + driver.lastFailureReason());
                return end(-1);
            }
            written += static_cast<std::int64_t>(chunk / kRawSectorSize);
            offset += chunk;
            feedRun.window.post(WM_BURN_PROGRESS, static_cast<MessageParam>(written), feedRun.imageSectors);
        }
    }
    return end(-1);
}

}  // namespace tellavine
