#include "recorder/mmc_driver.h"
#include "recorder/mmc_cue_sheet.h"
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

struct DriverRig {
    explicit DriverRig(EmulatedRecorderOptions options = {}, RecordingOptions recording = {})
        : transport(dir.file("disc.bin"), std::move(options)) {
        driver.attachTransport(&transport);
        driver.setRecordingOptions(recording);
        driver.setSleeper([this](std::chrono::milliseconds ms) { sleeps.push_back(static_cast<int>(ms.count())); });
        driver.setPrompt(prompt);
        window.attach(receiver);
        const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart},
                                         {100, RecorderCueKind::PregapStart},
                                         {250, RecorderCueKind::TrackStart},
                                         {400, RecorderCueKind::LeadOut}};
        sheet.buildFromCueList(list);
        driver.setCueSheet(sheet.bytes());
        transport.sent.clear();
    }
    const EmulatedRecorder& drive() const { return transport.inner.recorder(); }

    TempDir dir;
    ScriptedTransport transport;
    MmcDriver driver;
    MmcCueSheet sheet;
    std::vector<int> sleeps;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
    MessageTarget window;
    std::string error;
};

TEST(MmcCommands, BlocksAreByteExact) {
    EXPECT_EQ(mmc_command::write10(-150, 10),
              (std::array<std::uint8_t, 10>{0x2A, 0, 0xFF, 0xFF, 0xFF, 0x6A, 0, 0, 10, 0}));
    EXPECT_EQ(mmc_command::write10(0x01020304, 27), (std::array<std::uint8_t, 10>{0x2A, 0, 1, 2, 3, 4, 0, 0, 27, 0}));
    EXPECT_EQ(mmc_command::setCdSpeed(4248),
              (std::array<std::uint8_t, 12>{0xBB, 0, 0xFF, 0xFF, 0x10, 0x98, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mmc_command::sendCueSheet(0x012345), (std::array<std::uint8_t, 10>{0x5D, 0, 0, 0, 0, 0, 1, 0x23, 0x45, 0}));
    EXPECT_EQ(mmc_command::modeSelect10(60), (std::array<std::uint8_t, 10>{0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}));
    EXPECT_EQ(mmc_command::blank(true)[1], 0x10);
    EXPECT_EQ(mmc_command::blank(false)[1], 0x11);
    EXPECT_EQ(mmc_command::startStopUnit(true)[4], 0x02);
    EXPECT_EQ(mmc_command::startStopUnit(false)[4], 0x03);
    EXPECT_EQ(scsi_identify::modeSenseCommand(0x05, 56),
              (std::array<std::uint8_t, 10>{0x5A, 0, 0x05, 0, 0, 0, 0, 0, 164, 0}));
    EXPECT_EQ(kSpeedTable[0].kbPerSecond, 177);
    EXPECT_EQ(kSpeedTable[5].kbPerSecond, 24 * 177);
}

TEST(MmcDriver, SpeedIndexOutsideTheTableSendsTheSlowestAndIsStoredBack) {
    RecordingOptions options;
    options.speedIndex = 9;
    DriverRig rig({}, options);
    ASSERT_TRUE(rig.driver.prepare(rig.error, nullptr));
    EXPECT_EQ(rig.drive().writeSpeed(), 177);
    EXPECT_EQ(rig.driver.recordingOptions().speedIndex, 0);
    RecordingOptions fastest;
    fastest.speedIndex = 6;
    DriverRig maxRig({}, fastest);
    ASSERT_TRUE(maxRig.driver.prepare(maxRig.error, nullptr));
    EXPECT_EQ(maxRig.drive().writeSpeed(), 0xFFFF);
}

TEST(MmcDriver, LeadInInformationGivesLeadInAndLeadOutLengths) {
    DriverRig late;
    ASSERT_TRUE(late.driver.prepare(late.error, nullptr));
    EXPECT_EQ(late.driver.leadInLength, 11484);
    EXPECT_EQ(late.driver.leadOutLength, 6750);
    EmulatedRecorderOptions zero;
    zero.leadInMinute = zero.leadInSecond = zero.leadInFrame = 0;
    DriverRig early(zero);
    ASSERT_TRUE(early.driver.prepare(early.error, nullptr));
    EXPECT_EQ(early.driver.leadInLength, 4500);
    EXPECT_EQ(early.driver.leadOutLength, 2250);
}

TEST(MmcDriver, PrepareRefusesWrittenOrUnreadableDiscs) {
    TempDir dir;
    testing::writeFile(dir.file("written.bin"), std::string(2352 * 10, '\0'));
    testing::writeFile(dir.file("written.bin.state"), "[disc]\nstatus=complete\nsectors=10\n");
    ScriptedTransport written(dir.file("written.bin"));
    MmcDriver driver;
    driver.attachTransport(&written);
    std::string error;
    EXPECT_FALSE(driver.prepare(error, nullptr));
    EXPECT_EQ(error, "Disc is not empty");
    // Nothing else is asked of a drive with a written disc.
    EXPECT_EQ(written.counts[0xBB], 0);

    DriverRig unreadable;
    unreadable.transport.failOn(0x51);
    EXPECT_FALSE(unreadable.driver.prepare(unreadable.error, nullptr));
    EXPECT_EQ(unreadable.error, "Disc is not empty");
}

TEST(MmcDriver, PrepareAndStartLoadTheirFailureTexts) {
    DriverRig speed;
    speed.transport.failOn(0xBB);
    EXPECT_FALSE(speed.driver.prepare(speed.error, nullptr));
    EXPECT_EQ(speed.error, "Error while selecting writing speed");

    DriverRig session;
    session.transport.failOn(0x51, 2);
    EXPECT_FALSE(session.driver.prepare(session.error, nullptr));
    EXPECT_EQ(session.error, "Error while getting session information");

    DriverRig parameters;
    parameters.transport.failOn(0x55);
    EXPECT_FALSE(parameters.driver.start(parameters.window, parameters.error, nullptr));
    EXPECT_EQ(parameters.error, "Error while setting write parameteres");

    DriverRig cue;
    std::vector<std::uint8_t> broken(cue.sheet.bytes().begin(), cue.sheet.bytes().end());
    broken[8 + 1] = 2;  // track 1's pregap claims track 2: the drive refuses the sheet
    cue.driver.setCueSheet(broken);
    EXPECT_FALSE(cue.driver.start(cue.window, cue.error, nullptr));
    EXPECT_EQ(cue.error, "Error while sending cue sheet");

    DriverRig pregap;
    pregap.transport.failOn(0x2A, 3);
    EXPECT_FALSE(pregap.driver.start(pregap.window, pregap.error, nullptr));
    // The first line as it always was; the second says why (here: no sense data came back).
    EXPECT_EQ(pregap.error, "Error while writing cd\nThe drive gave no reason.");
}

TEST(MmcDriver, WriteParametersFollowTheRunOptions) {
    EmulatedRecorderOptions bufeSet;
    bufeSet.bufeInitially = true;
    DriverRig kept(bufeSet);
    ASSERT_TRUE(kept.driver.start(kept.window, kept.error, nullptr));
    const auto& page = kept.drive().writeParameters();
    EXPECT_EQ(page[2] & 0x0F, 0x02);  // session at once
    EXPECT_EQ(page[2] & 0x10, 0x00);  // no test write
    EXPECT_EQ(page[2] & 0x40, 0x40);  // BUFE left as the drive had it
    EXPECT_EQ(page[3] & 0xC0, 0x00);
    EXPECT_EQ(page[3] & 0x0F, 0x04);  // track mode left
    EXPECT_EQ(page[4] & 0x0F, 0x00);
    EXPECT_EQ(page[8], 0x20);

    DriverRig clear;
    ASSERT_TRUE(clear.driver.start(clear.window, clear.error, nullptr));
    EXPECT_EQ(clear.drive().writeParameters()[2] & 0x40, 0x00);

    RecordingOptions proofSimulated;
    proofSimulated.burnProof = true;
    proofSimulated.simulate = true;
    DriverRig proof({}, proofSimulated);
    ASSERT_TRUE(proof.driver.start(proof.window, proof.error, nullptr));
    EXPECT_EQ(proof.drive().writeParameters()[2] & 0x50, 0x50);
    EXPECT_EQ(proof.transport.counts[0x54], 0);  // no power calibration in a simulation
}

TEST(MmcDriver, FailedPowerCalibrationIsShownAndTheRunGoesOn) {
    EmulatedRecorderOptions opc;
    opc.opcFails = true;
    DriverRig rig(opc);
    EXPECT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    EXPECT_EQ(rig.prompt->shown(), std::vector<std::string>{"Power calibration failed.\n"});
}

TEST(MmcDriver, StartWritesTheTrackOnePregapInTenSectorSteps) {
    DriverRig rig;
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    std::vector<std::int32_t> addresses;
    for (const auto& command : rig.transport.sent) {
        if (command.cdb[0] != 0x2A) continue;
        addresses.push_back(static_cast<std::int32_t>((std::uint32_t{command.cdb[2]} << 24) | (command.cdb[3] << 16) |
                                                      (command.cdb[4] << 8) | command.cdb[5]));
        EXPECT_EQ(command.dataOut, 23360u);
        EXPECT_EQ(command.cdb[8], 10);
    }
    ASSERT_EQ(addresses.size(), 15u);
    EXPECT_EQ(addresses.front(), -150);
    EXPECT_EQ(addresses.back(), -10);
}

TEST(MmcDriver, WriteBlockCountsSectorBodiesAndWaitsWhileBusy) {
    EmulatedRecorderOptions busy;
    busy.busyEveryWrites = 1;
    busy.busyAnswers = 2;
    DriverRig rig(busy);
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    rig.transport.sent.clear();
    rig.sleeps.clear();
    const std::vector<std::uint8_t> block(27 * 2352, 0x33);
    ASSERT_TRUE(rig.driver.writeBlock(0, block, nullptr));
    ASSERT_EQ(rig.transport.sent.size(), 3u);  // two busy answers, then taken
    EXPECT_EQ(rig.transport.sent.back().cdb[8], 27);
    EXPECT_EQ(rig.transport.sent.back().dataOut, 27u * 2336u);
    EXPECT_EQ(rig.sleeps, (std::vector<int>{100, 100}));
}

TEST(MmcDriver, CancelledWriteSendsNothing) {
    DriverRig rig;
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    rig.transport.sent.clear();
    Event cancel;
    cancel.set();
    const std::vector<std::uint8_t> block(2352, 0);
    EXPECT_FALSE(rig.driver.writeBlock(0, block, &cancel));
    EXPECT_TRUE(rig.transport.sent.empty());
}

TEST(MmcDriver, FinishWaitsForTheDriveFlushesAndEjects) {
    RecordingOptions simulation;
    simulation.simulate = true;
    DriverRig rig({}, simulation);
    // The drive is busy writing the lead-out.
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    const std::vector<std::uint8_t> image(400 * 2336, 0);
    for (std::int32_t address = 0; address < 400; address += 27) {
        const int count = std::min(27, 400 - address);
        ASSERT_TRUE(rig.driver.writeBlock(address, std::span(image).first(static_cast<std::size_t>(count) * 2336), nullptr));
    }
    rig.transport.sent.clear();
    rig.sleeps.clear();
    ASSERT_TRUE(rig.driver.finish(rig.window, rig.error, nullptr));
    EXPECT_EQ(rig.transport.opcodes(), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x35, 0x1B, 0x1B}));
    EXPECT_EQ(rig.transport.sent[4].cdb[4], 0x02);
    EXPECT_EQ(rig.transport.sent[5].cdb[4], 0x03);
    EXPECT_EQ(rig.sleeps, (std::vector<int>{1000, 1000}));
    EXPECT_EQ(rig.receiver->numbers(), (std::vector<unsigned>{WM_RECORDER_WAIT, WM_FLUSH_CACHE}));
    EXPECT_EQ(rig.transport.closes, 2);  // every medium change lets go of the device
    EXPECT_FALSE(rig.drive().disc().trayOpen());
    EXPECT_EQ(rig.drive().disc().status(), EmulatedDiscStatus::Blank);
}

TEST(MmcDriver, FinishDoesNotWaitForeverForADriveWithoutDisc) {
    DriverRig rig;
    ASSERT_TRUE(rig.driver.loadOrEject(true));
    // The disc is gone before it was closed: no waiting, and no success either.
    EXPECT_FALSE(rig.driver.finish(rig.window, rig.error, nullptr));
    EXPECT_EQ(rig.error, kClosingErrorText);
    EXPECT_TRUE(rig.sleeps.empty());
    EXPECT_EQ(rig.driver.testUnitReady(), UnitNotReady);
}

TEST(MmcDriver, ErrorsReportedWhileClosingFailTheRecording) {
    // A write the drive took into its buffer fails later; the drive says so when the
    // cache is flushed. That is no finished disc.
    DriverRig rig;
    rig.transport.failOn(0x35);
    EXPECT_FALSE(rig.driver.finish(rig.window, rig.error, nullptr));
    EXPECT_EQ(rig.error, kClosingErrorText);

    DriverRig reported;
    reported.transport.failOn(0x00);  // TEST UNIT READY: an error, not "in progress"
    EXPECT_FALSE(reported.driver.finish(reported.window, reported.error, nullptr));

    // A page 05h too short to hold the write type is never sent back unchanged.
    std::vector<std::uint8_t> shortPage{0x05, 0x06, 0, 0};
    EXPECT_FALSE(reported.driver.applyWriteParameters(shortPage));
    std::vector<std::uint8_t> otherPage(20, 0);
    otherPage[0] = 0x2A;
    EXPECT_FALSE(reported.driver.applyWriteParameters(otherPage));
}

TEST(MmcDriver, DiscStatusAndReadiness) {
    DriverRig rig;
    bool blank = false;
    std::int64_t free = -1;
    ASSERT_TRUE(rig.driver.readDiscStatus(blank, free));
    EXPECT_TRUE(blank);
    EXPECT_EQ(free, 359999 - 150);
    EXPECT_EQ(rig.driver.testUnitReady(), UnitReady);
    rig.transport.failOn(0x00);
    EXPECT_EQ(rig.driver.testUnitReady(), UnitError);
    rig.transport.failOn(0x51);
    free = 5;
    EXPECT_FALSE(rig.driver.readDiscStatus(blank, free));
    EXPECT_EQ(free, 0);
}

TEST(MmcDriver, SetCueSheetTakesWholeEntriesUpToThreeHundred) {
    MmcDriver driver;
    EXPECT_TRUE(driver.setCueSheet(std::vector<std::uint8_t>(2400, 0)));
    EXPECT_EQ(driver.cueSheet().size(), 2400u);
    EXPECT_FALSE(driver.setCueSheet(std::vector<std::uint8_t>(2408, 0)));
    EXPECT_FALSE(driver.setCueSheet(std::vector<std::uint8_t>(7, 0)));
    EXPECT_TRUE(driver.cueSheet().empty());
}

}  // namespace
}  // namespace tellavine
