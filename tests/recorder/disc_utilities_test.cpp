#include "recorder/disc_utilities.h"
#include "recorder/mmc_cue_sheet.h"
#include "recorder/mmc_driver.h"
#include "platform/numbered_messages.h"
#include "recorder_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

using testing::RecordingPrompt;
using testing::RecordingReceiver;
using testing::ScriptedTransport;
using testing::TempDir;

struct UtilityRig {
    explicit UtilityRig(EmulatedRecorderOptions options = {}) : transport(dir.file("disc.bin"), std::move(options)) {
        driver.attachTransport(&transport);
        driver.setSleeper([this](std::chrono::milliseconds ms) {
            sleeps.push_back(static_cast<int>(ms.count()));
            clockMs += ms.count();
        });
        transport.sent.clear();
    }
    // Writes a small disc into the drive through the MMC driver, as a recording would.
    void writeDisc() {
        MmcCueSheet sheet;
        const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart}, {40, RecorderCueKind::LeadOut}};
        sheet.buildFromCueList(list);
        driver.setCueSheet(sheet.bytes());
        std::string error;
        ASSERT_TRUE(driver.prepare(error, nullptr)) << error;
        ASSERT_TRUE(driver.start(MessageTarget{}, error, nullptr)) << error;
        ASSERT_TRUE(driver.writeBlock(0, std::vector<std::uint8_t>(27 * 2336, 1), nullptr));
        ASSERT_TRUE(driver.writeBlock(27, std::vector<std::uint8_t>(13 * 2336, 2), nullptr));
        driver.waitWhileNotReady(nullptr);
        transport.sent.clear();
        sleeps.clear();
    }

    TempDir dir;
    ScriptedTransport transport;
    MmcDriver driver;
    RecordingPrompt prompt;
    std::vector<int> sleeps;
    std::int64_t clockMs = 0;
};

EmulatedRecorderOptions rewritable(int blankBusy = 3) {
    EmulatedRecorderOptions options;
    options.mediumForNewDisc = EmulatedMedium::CdRw;
    options.blankBusyAnswers = blankBusy;
    return options;
}

TEST(DiscUtilities, ElapsedTimeReadsMinutesAndSeconds) {
    EXPECT_EQ(eraseElapsedText(61500), "Erasing ReWritable, Please wait...\nElapsed time: 01:01 min");
    EXPECT_EQ(eraseElapsedText(0), "Erasing ReWritable, Please wait...\nElapsed time: 00:00 min");
    EXPECT_EQ(eraseElapsedText(599999), "Erasing ReWritable, Please wait...\nElapsed time: 09:59 min");
}

TEST(DiscUtilities, EraseSendsTicksUntilTheDriveIsReadyThenDone) {
    for (EraseMethod method : {EraseMethod::Quick, EraseMethod::Full}) {
        UtilityRig rig(rewritable(2));
        rig.writeDisc();
        auto receiver = std::make_shared<RecordingReceiver>();
        EraseJob job;
        job.window.attach(receiver);
        job.driver = &rig.driver;
        job.method = method;
        job.nowMs = [&rig] { return rig.clockMs; };
        std::thread eraser = startEraseThread(job);
        eraser.join();
        ASSERT_FALSE(rig.transport.sent.empty());
        EXPECT_EQ(rig.transport.sent[0].cdb[0], 0xA1);
        EXPECT_EQ(rig.transport.sent[0].cdb[1], method == EraseMethod::Full ? 0x10 : 0x11);
        const auto messages = receiver->messages();
        ASSERT_EQ(messages.size(), 4u);
        EXPECT_EQ(messages[0].id, WM_ERASE_TICK);
        EXPECT_EQ(messages[0].wParam, 0);
        EXPECT_EQ(messages[1].wParam, 1000);
        EXPECT_EQ(messages[2].wParam, 2000);
        EXPECT_EQ(messages[3].id, WM_ERASE_DONE);
        EXPECT_EQ(rig.transport.inner.recorder().disc().status(), EmulatedDiscStatus::Blank);
    }
}

TEST(DiscUtilities, RefusedBlankIsReportedWithoutWaiting) {
    UtilityRig rig;  // a CD-R cannot be blanked
    auto receiver = std::make_shared<RecordingReceiver>();
    EraseJob job;
    job.window.attach(receiver);
    job.driver = &rig.driver;
    job.nowMs = [&rig] { return rig.clockMs; };
    const EraseOutcome outcome = runEraseJob(job);
    EXPECT_FALSE(outcome.erased);
    EXPECT_EQ(outcome.failure.rfind(std::string(disc_text::kEraseRefused) + "\n", 0), 0u) << outcome.failure;
    EXPECT_GT(outcome.failure.size(), std::string(disc_text::kEraseRefused).size() + 1);  // the drive's reason
    const auto messages = receiver->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, WM_ERASE_DONE);
    EXPECT_EQ(messages[0].wParam, 1);
    EXPECT_EQ(messages[0].text, outcome.failure);
    EXPECT_TRUE(rig.sleeps.empty());
}

TEST(DiscUtilities, EraseIsRefusedBeforeItStartsWithoutARewritableDisc) {
    UtilityRig cdr;
    cdr.writeDisc();
    EXPECT_EQ(eraseRefusal(cdr.driver), disc_text::kNotRewritable);
    UtilityRig cdrw(rewritable());
    cdrw.writeDisc();
    EXPECT_EQ(eraseRefusal(cdrw.driver), "");
    ASSERT_TRUE(cdrw.driver.loadOrEject(true));
    EXPECT_EQ(eraseRefusal(cdrw.driver), disc_text::kNoDiscToErase);
    EXPECT_EQ(cdrw.transport.counts[0xA1], 0);
}

TEST(DiscUtilities, EraseCheckFindsNoDiscWithOpenTray) {
    UtilityRig rig(rewritable());
    EXPECT_TRUE(discPresentForErase(rig.driver));
    ASSERT_TRUE(rig.driver.loadOrEject(true));
    EXPECT_FALSE(discPresentForErase(rig.driver));
    // Eject and close each let go of the device.
    ASSERT_TRUE(rig.driver.loadOrEject(false));
    EXPECT_EQ(rig.transport.closes, 2);
    EXPECT_EQ(rig.transport.sent.back().cdb[4], 0x03);
    EXPECT_TRUE(discPresentForErase(rig.driver));
}

TEST(DiscUtilities, BlankDiscPassesTheCheckWithItsFreeSectors) {
    UtilityRig rig;
    std::int64_t free = 0;
    EXPECT_TRUE(checkDiscBeforeRecording(rig.driver, rig.prompt, nullptr, free));
    EXPECT_EQ(free, 359849);
    EXPECT_TRUE(rig.prompt.shown().empty());
}

TEST(DiscUtilities, UnreadyDriveOpensItsTrayAndSaysSo) {
    UtilityRig rig;
    rig.transport.failOn(0x51);
    std::int64_t free = 0;
    EXPECT_FALSE(checkDiscBeforeRecording(rig.driver, rig.prompt, nullptr, free));
    EXPECT_EQ(rig.prompt.shown(), std::vector<std::string>{disc_text::kNotReady});
    EXPECT_TRUE(rig.transport.inner.recorder().disc().trayOpen());
}

TEST(DiscUtilities, WrittenDiscIsErasedOnlyWhenTheUserAgrees) {
    UtilityRig refused(rewritable(0));
    refused.writeDisc();
    refused.prompt.setAnswer(PromptAnswer::No);
    int erases = 0;
    std::int64_t free = 0;
    EXPECT_FALSE(checkDiscBeforeRecording(refused.driver, refused.prompt, [&] { ++erases; }, free));
    EXPECT_EQ(refused.prompt.shown(), std::vector<std::string>{disc_text::kEraseQuestion});
    EXPECT_EQ(erases, 0);
    EXPECT_EQ(refused.transport.counts[0xA1], 0);

    UtilityRig agreed(rewritable(0));
    agreed.writeDisc();
    agreed.prompt.setAnswer(PromptAnswer::Yes);
    auto erase = [&] {
        EraseJob job;
        job.driver = &agreed.driver;
        runEraseJob(job);
    };
    EXPECT_TRUE(checkDiscBeforeRecording(agreed.driver, agreed.prompt, erase, free));
    EXPECT_EQ(free, 359849);

    UtilityRig cdr;  // a written CD-R stays written whatever the user answers
    cdr.writeDisc();
    cdr.prompt.setAnswer(PromptAnswer::Yes);
    auto eraseCdr = [&] {
        EraseJob job;
        job.driver = &cdr.driver;
        runEraseJob(job);
    };
    EXPECT_FALSE(checkDiscBeforeRecording(cdr.driver, cdr.prompt, eraseCdr, free));
}

TEST(DiscUtilities, SpaceQuestionOnlyWhenTheDiscIsTooSmall) {
    RecordingPrompt prompt;
    EXPECT_TRUE(confirmDiscSpace(prompt, 1150, 1000));
    EXPECT_TRUE(prompt.shown().empty());
    prompt.setAnswer(PromptAnswer::Yes);  // "quit burning now?"
    EXPECT_FALSE(confirmDiscSpace(prompt, 1149, 1000));
    prompt.setAnswer(PromptAnswer::No);
    EXPECT_TRUE(confirmDiscSpace(prompt, 1149, 1000));
    EXPECT_EQ(prompt.shown().size(), 2u);
    EXPECT_EQ(prompt.shown()[0], disc_text::kSpaceQuestion);
}

}  // namespace
}  // namespace tellavine
