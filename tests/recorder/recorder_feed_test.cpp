#include "recorder/mmc_driver.h"
#include "recorder/recorder_feed.h"
#include "platform/numbered_messages.h"
#include "recorder/scrambler.h"
#include "recorder_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <future>

namespace tellavine {
namespace {

using testing::makeImageSector;
using testing::RecordingPrompt;
using testing::RecordingReceiver;
using testing::ScriptedTransport;
using testing::TempDir;

// A driver that records what the feed asks of it.
class RecordingDriver : public BaseDriver {
public:
    bool prepare(std::string& errorText, const Event*) override {
        calls.push_back("prepare");
        if (!prepareResult) errorText = "Disc is not empty";
        return prepareResult;
    }
    bool start(const MessageTarget&, std::string&, const Event*) override {
        calls.push_back("start");
        return true;
    }
    bool writeBlock(std::int32_t address, std::span<const std::uint8_t> buffer, const Event*) override {
        if (gate) gate->wait();
        std::lock_guard lock(mutex);
        writes.emplace_back(address, buffer.size());
        firstBytes.emplace_back(buffer.begin(), buffer.begin() + std::min<std::size_t>(buffer.size(), 2352));
        return static_cast<int>(writes.size()) != failWrite;
    }
    bool finish(const MessageTarget&, std::string&, const Event*) override {
        calls.push_back("finish");
        finishedWith = dataSectorCount;
        return true;
    }
    bool takesRawSectors() const override { return false; }

    std::mutex mutex;
    std::vector<std::string> calls;
    std::vector<std::pair<std::int32_t, std::size_t>> writes;
    std::vector<std::vector<std::uint8_t>> firstBytes;
    bool prepareResult = true;
    int failWrite = 0;
    std::int64_t finishedWith = -1;
    std::shared_ptr<Event> gate;
};

struct FeedRig {
    FeedRig() { owner.window.attach(receiver); }
    void describeDisc(std::uint32_t sectors) {
        const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart}, {sectors, RecorderCueKind::LeadOut}};
        feed.cueSheet().buildFromCueList(list);
        owner.imageSectors = static_cast<std::int32_t>(sectors);
    }
    SinkOwner owner;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
    RecorderFeed feed;
};

TEST(RecorderFeed, TwentyEightSectorsMakeAFullBlockALastBlockAndTheEnd) {
    FeedRig rig;
    RecordingDriver driver;
    rig.describeDisc(28);
    rig.feed.openQueue(false);
    ASSERT_TRUE(rig.feed.start(rig.owner, driver));
    for (int lsn = 0; lsn < 28; ++lsn) rig.feed.queueSector(makeImageSector(lsn));
    rig.feed.closeQueue();
    EXPECT_EQ(rig.feed.wait(), 0);
    EXPECT_EQ(driver.writes, (std::vector<std::pair<std::int32_t, std::size_t>>{{0, 27 * 2352}, {27, 2352}}));
    EXPECT_EQ(driver.finishedWith, 28);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"prepare", "start", "finish"}));
    // Bodies of 2336 bytes from the start of the block: the sector without sync and header.
    const auto sector27 = makeImageSector(27);
    EXPECT_TRUE(std::equal(sector27.begin() + 16, sector27.end(), driver.firstBytes[1].begin()));
    const auto messages = rig.receiver->messages();
    std::vector<unsigned> numbers;
    for (const auto& m : messages) numbers.push_back(m.id);
    EXPECT_EQ(numbers, (std::vector<unsigned>{WM_BURN_PREPARE, WM_BURN_START, WM_BURN_PROGRESS, WM_BURN_PROGRESS,
                                              WM_BURN_FINISHING, WM_BURN_DONE}));
    EXPECT_EQ(messages[2].wParam, 27);
    EXPECT_EQ(messages[3].wParam, 28);
    EXPECT_EQ(messages[3].lParam, 28);
}

// Runs a feed whose driver refuses to prepare; the feed's result.
int runWithFailingPrepare(FeedRig& rig, RecordingDriver& driver) {
    driver.prepareResult = false;
    rig.describeDisc(5);
    rig.feed.openQueue(false);
    if (!rig.feed.start(rig.owner, driver)) return 1;
    return rig.feed.wait();
}

TEST(RecorderFeed, PrepareFailurePostsTheDriversTextAndNeverStarts) {
    FeedRig rig;
    RecordingDriver driver;
    EXPECT_EQ(runWithFailingPrepare(rig, driver), -1);
    // The producer is not left hanging on a recording that is gone.
    for (int lsn = 0; lsn < 27 * 120; ++lsn) rig.feed.queueSector(makeImageSector(lsn));
    rig.feed.closeQueue();
    const auto messages = rig.receiver->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].id, WM_BURN_PREPARE);
    EXPECT_EQ(messages[1].id, WM_BURN_ERROR);
    EXPECT_EQ(messages[1].text, "Disc is not empty");
}

TEST(RecorderFeed, FailedWriteIsReportedInsteadOfEndingSilently) {
    FeedRig rig;
    RecordingDriver driver;
    driver.failWrite = 2;
    rig.describeDisc(60);
    rig.feed.openQueue(false);
    ASSERT_TRUE(rig.feed.start(rig.owner, driver));
    for (int lsn = 0; lsn < 60; ++lsn) rig.feed.queueSector(makeImageSector(lsn));
    rig.feed.closeQueue();
    EXPECT_EQ(rig.feed.wait(), -1);
    const auto messages = rig.receiver->messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().id, WM_BURN_ERROR);
    EXPECT_EQ(messages.back().text, "Error while writing cd\nNo recorder is attached.");
    EXPECT_EQ(std::count(driver.calls.begin(), driver.calls.end(), "finish"), 0);
}

TEST(RecorderFeed, CueSheetOverThreeHundredEntriesIsRefusedBeforeTheDriveSeesAnything) {
    FeedRig rig;
    RecordingDriver driver;
    std::vector<RecorderCueEntry> list = {{0, RecorderCueKind::TrackStart}};
    for (std::uint32_t i = 1; i <= 300; ++i) list.push_back({i * 10, RecorderCueKind::IndexMark});
    list.push_back({5000, RecorderCueKind::LeadOut});
    EXPECT_FALSE(rig.feed.cueSheet().buildFromCueList(list));
    rig.feed.openQueue(false);
    EXPECT_FALSE(rig.feed.start(rig.owner, driver));
    EXPECT_TRUE(driver.calls.empty());
    const auto messages = rig.receiver->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, WM_BURN_ERROR);
    EXPECT_EQ(messages[0].text, "The disc needs more than 300 cue sheet entries.");
    for (int lsn = 0; lsn < 27 * 101; ++lsn) rig.feed.queueSector(makeImageSector(lsn));  // must not block
}

TEST(RecorderFeed, ProducerWaitsWhileTheQueueIsFull) {
    FeedRig rig;
    RecordingDriver driver;
    driver.gate = std::make_shared<Event>();  // the drive takes nothing until opened
    rig.describeDisc(27 * 102);
    rig.feed.openQueue(false);
    ASSERT_TRUE(rig.feed.start(rig.owner, driver));
    // Block 1 is taken by the feed thread and waits in writeBlock; 100 more fill the queue.
    auto producer = std::async(std::launch::async, [&] {
        for (int lsn = 0; lsn < 27 * 102; ++lsn) rig.feed.queueSector(makeImageSector(lsn));
    });
    for (int i = 0; i < 200 && rig.feed.queuedBlocks() < 100; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(rig.feed.queuedBlocks(), 100u);
    EXPECT_EQ(producer.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    driver.gate->set();
    producer.get();
    rig.feed.closeQueue();
    EXPECT_EQ(rig.feed.wait(), 0);
    EXPECT_EQ(driver.writes.size(), 102u);
}

TEST(RecorderFeed, ErrorWithNoWindowListeningLeavesNothingBehind) {
    // A build whose window has gone: the refusal's text is dropped with its message (the
    // asan preset's leak check fails the test if anything of it stays allocated).
    FeedRig rig;
    rig.owner.window.detach();
    RecordingDriver driver;
    EXPECT_EQ(runWithFailingPrepare(rig, driver), -1);
    EXPECT_TRUE(rig.receiver->messages().empty());
}

TEST(RecorderFeed, FeedOutlivesTheBuildsRecord) {
    // The desktop's progress window holds the build's record; closing it early frees it
    // while the drive still works through the queue.
    auto receiver = std::make_shared<RecordingReceiver>();
    RecorderFeed feed;
    RecordingDriver driver;
    driver.gate = std::make_shared<Event>();
    const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart}, {60, RecorderCueKind::LeadOut}};
    feed.cueSheet().buildFromCueList(list);
    feed.openQueue(false);
    {
        auto owner = std::make_unique<SinkOwner>();
        owner->window.attach(receiver);
        owner->imageSectors = 60;
        ASSERT_TRUE(feed.start(*owner, driver));
        for (int lsn = 0; lsn < 60; ++lsn) feed.queueSector(makeImageSector(lsn));
        feed.closeQueue();
    }
    driver.gate->set();
    EXPECT_EQ(feed.wait(), 0);
    const auto messages = receiver->messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().id, WM_BURN_DONE);
    EXPECT_EQ(messages[messages.size() - 3].lParam, 60);  // the progress total, kept by the feed
}

TEST(RecorderFeed, CancelEndsTheFeedWithoutFinishing) {
    FeedRig rig;
    RecordingDriver driver;
    rig.describeDisc(100);
    rig.feed.openQueue(false);
    ASSERT_TRUE(rig.feed.start(rig.owner, driver));
    rig.owner.cancelEvent->set();
    EXPECT_EQ(rig.feed.wait(), -1);
    for (int lsn = 0; lsn < 27 * 101; ++lsn) rig.feed.queueSector(makeImageSector(lsn));  // must not block
    rig.feed.closeQueue();
    EXPECT_EQ(std::count(driver.calls.begin(), driver.calls.end(), "finish"), 0);
}

TEST(RecorderFeed, AbandonedImageStopsTheFeedWithoutFinishing) {
    FeedRig rig;
    RecordingDriver driver;
    rig.describeDisc(1000);
    rig.feed.openQueue(false);
    ASSERT_TRUE(rig.feed.start(rig.owner, driver));
    for (int lsn = 0; lsn < 60; ++lsn) rig.feed.queueSector(makeImageSector(lsn));
    rig.feed.abandonQueue();
    EXPECT_EQ(rig.feed.wait(), -1);
    EXPECT_EQ(std::count(driver.calls.begin(), driver.calls.end(), "finish"), 0);
    for (int lsn = 60; lsn < 27 * 110; ++lsn) rig.feed.queueSector(makeImageSector(lsn));  // must not block
    // The window hears why: it ends only on a message.
    const auto messages = rig.receiver->messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().id, WM_BURN_ERROR);
    EXPECT_EQ(messages.back().text, "The disc image stopped before its end.");
}

TEST(RecorderFeed, RawSectorsGetTheirAddressRewrittenAndAreScrambled) {
    FeedRig rig;
    RecorderFeed& feed = rig.feed;
    class RawDriverStub : public RecordingDriver {
        bool takesRawSectors() const override { return true; }
    } driver;
    rig.describeDisc(2);
    feed.openQueue(true);
    ASSERT_TRUE(feed.start(rig.owner, driver));
    auto first = makeImageSector(0);
    first[12] = first[13] = first[14] = 0x99;  // whatever the header said
    feed.queueSector(first);
    feed.queueSector(makeImageSector(1));
    feed.closeQueue();
    ASSERT_EQ(feed.wait(), 0);
    ASSERT_EQ(driver.writes.size(), 1u);
    EXPECT_EQ(driver.writes[0], (std::pair<std::int32_t, std::size_t>{0, 2 * 2352}));
    std::array<std::uint8_t, 2352> sector{};
    std::copy(driver.firstBytes[0].begin(), driver.firstBytes[0].end(), sector.begin());
    scrambleSector(sector);
    EXPECT_EQ(sector[12], 0x00);  // address 150 = 00:02:00
    EXPECT_EQ(sector[13], 0x02);
    EXPECT_EQ(sector[14], 0x00);
    EXPECT_TRUE(std::equal(sector.begin() + 15, sector.end(), first.begin() + 15));
}

// A two-track image as the authoring side lays it out: ISO track, pregap, MPEG track.
struct Image {
    std::uint32_t isoSectors = 80;
    std::uint32_t mpegSectors = 130;
    std::uint32_t total() const { return isoSectors + 150 + mpegSectors; }
    std::vector<RecorderCueEntry> cueList() const {
        return {{0, RecorderCueKind::TrackStart},
                {isoSectors, RecorderCueKind::PregapStart},
                {isoSectors + 150, RecorderCueKind::TrackStart},
                {isoSectors + 170, RecorderCueKind::IndexMark},
                {total(), RecorderCueKind::LeadOut}};
    }
};

struct BurnRun {
    int result = -1;
    std::vector<std::uint8_t> opcodes;
    std::vector<unsigned> messages;
    std::string errorText;
};

BurnRun burnToEmulatedDrive(const std::string& discPath, const Image& image, RecordingOptions options,
                            std::vector<std::uint8_t>* expectedBin) {
    ScriptedTransport transport(discPath);
    MmcDriver driver;
    driver.attachTransport(&transport);
    driver.setRecordingOptions(options);
    driver.setSleeper([](std::chrono::milliseconds) {});
    driver.setPrompt(std::make_shared<RecordingPrompt>());
    transport.inner.recorder().clearLog();

    FeedRig rig;
    const auto list = image.cueList();
    rig.feed.cueSheet().buildFromCueList(list);
    rig.owner.imageSectors = static_cast<std::int32_t>(image.total());
    rig.feed.openQueue(driver.takesRawSectors());
    EXPECT_TRUE(rig.feed.start(rig.owner, driver));
    for (std::uint32_t lsn = 0; lsn < image.total(); ++lsn) {
        const auto sector = makeImageSector(static_cast<int>(lsn), 7);
        if (expectedBin) expectedBin->insert(expectedBin->end(), sector.begin(), sector.end());
        rig.feed.queueSector(sector);
    }
    rig.feed.closeQueue();
    BurnRun run;
    run.result = rig.feed.wait();
    for (const auto& cdb : transport.inner.recorder().commandLog()) run.opcodes.push_back(cdb[0]);
    for (const auto& message : rig.receiver->messages()) {
        run.messages.push_back(message.id);
        if (message.id == WM_BURN_ERROR) run.errorText = message.text;
    }
    return run;
}

TEST(RecorderBurn, EmulatedDiscHoldsExactlyTheImageAndTheDriveSawTheWholeRun) {
    TempDir dir;
    Image image;
    std::vector<std::uint8_t> bin;
    const BurnRun run = burnToEmulatedDrive(dir.file("disc.bin"), image, {}, &bin);
    ASSERT_EQ(run.result, 0);
    EXPECT_EQ(testing::readBytes(dir.file("disc.bin")), bin);

    std::vector<std::uint8_t> expected = {0x51, 0xBB, 0x51, 0x5A, 0x55, 0x54, 0x52, 0x5D};
    expected.insert(expected.end(), 15, 0x2A);                                  // pregap of track 1
    expected.insert(expected.end(), (image.total() + 26) / 27, 0x2A);          // the image
    expected.insert(expected.end(), {0x00, 0x00, 0x00, 0x35, 0x1B});           // busy, busy, ready
    EXPECT_EQ(run.opcodes, expected);
    EXPECT_EQ(run.messages.front(), WM_BURN_PREPARE);
    EXPECT_EQ(run.messages.back(), WM_BURN_DONE);

    // The disc is now written: a second recording is refused before anything is burned.
    const BurnRun again = burnToEmulatedDrive(dir.file("disc.bin"), image, {}, nullptr);
    EXPECT_EQ(again.result, -1);
    EXPECT_EQ(again.messages, (std::vector<unsigned>{WM_BURN_PREPARE, WM_BURN_ERROR}));
    EXPECT_EQ(again.errorText, "Disc is not empty");
}

TEST(RecorderBurn, SimulationBurnsNothingAndReloadsTheDisc) {
    TempDir dir;
    RecordingOptions simulate;
    simulate.simulate = true;
    const BurnRun run = burnToEmulatedDrive(dir.file("disc.bin"), Image{}, simulate, nullptr);
    ASSERT_EQ(run.result, 0);
    EXPECT_EQ(std::count(run.opcodes.begin(), run.opcodes.end(), 0x54), 0);
    ASSERT_GE(run.opcodes.size(), 2u);
    EXPECT_EQ(run.opcodes[run.opcodes.size() - 2], 0x1B);
    EXPECT_EQ(run.opcodes.back(), 0x1B);
    EmulatedRecorder drive(dir.file("disc.bin"));
    EXPECT_EQ(drive.disc().status(), EmulatedDiscStatus::Blank);
    EXPECT_FALSE(drive.disc().trayOpen());
}

}  // namespace
}  // namespace tellavine
