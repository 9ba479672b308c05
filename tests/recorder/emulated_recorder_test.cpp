#include "recorder/base_driver.h"
#include "recorder/emulated_recorder.h"
#include "recorder/emulated_transport.h"
#include "recorder/mmc_cue_sheet.h"
#include "recorder_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::TempDir;

// Drives one EmulatedRecorder command by command and reads the sense of a refusal.
class Drive {
public:
    explicit Drive(const std::string& path, EmulatedRecorderOptions options = {}) : recorder(path, options) {}

    EmulatedReply run(std::vector<std::uint8_t> cdb, std::span<const std::uint8_t> out = {},
                      std::span<std::uint8_t> in = {}) {
        return recorder.handle(cdb, out, in);
    }
    SenseCode senseOf(const EmulatedReply& reply) const {
        return {static_cast<std::uint8_t>(reply.sense[2] & 0x0F), reply.sense[12], reply.sense[13]};
    }
    // Page 05h set to session at once (plus extra bits in byte 2).
    EmulatedReply setWriteType(std::uint8_t byte2, std::uint8_t blockType = 0) {
        std::vector<std::uint8_t> parameters(8 + 52, 0);
        parameters[8] = 0x05;
        parameters[9] = 0x32;
        parameters[10] = byte2;
        parameters[12] = blockType;
        parameters[16] = 0x20;
        const auto cdb = mmc_command::modeSelect10(static_cast<std::uint16_t>(parameters.size()));
        return run({cdb.begin(), cdb.end()}, parameters);
    }
    EmulatedReply sendCue(std::span<const std::uint8_t> sheet) {
        const auto cdb = mmc_command::sendCueSheet(sheet.size());
        return run({cdb.begin(), cdb.end()}, sheet);
    }
    EmulatedReply write(std::int32_t address, int count, std::uint8_t fill = 0) {
        std::vector<std::uint8_t> bodies(static_cast<std::size_t>(count) * 2336, fill);
        const auto cdb = mmc_command::write10(address, static_cast<std::uint16_t>(count));
        return run({cdb.begin(), cdb.end()}, bodies);
    }
    EmulatedRecorder recorder;
};

bool sameCode(const SenseCode& a, const SenseCode& b) { return a.key == b.key && a.asc == b.asc && a.ascq == b.ascq; }
#define EXPECT_SENSE(drive, reply, code)                                  \
    do {                                                                  \
        const auto reply_ = (reply);                                      \
        EXPECT_FALSE(reply_.good);                                        \
        EXPECT_TRUE(sameCode((drive).senseOf(reply_), (code)))            \
            << std::hex << int((drive).senseOf(reply_).key) << "/"        \
            << int((drive).senseOf(reply_).asc) << "/" << int((drive).senseOf(reply_).ascq); \
    } while (0)

// One ISO track of `first` sectors and a second track after a 150-sector pregap.
MmcCueSheet twoTrackSheet(std::uint32_t first, std::uint32_t second) {
    MmcCueSheet sheet;
    const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart},
                                     {first, RecorderCueKind::PregapStart},
                                     {first + 150, RecorderCueKind::TrackStart},
                                     {first + 150 + second, RecorderCueKind::LeadOut}};
    EXPECT_TRUE(sheet.buildFromCueList(list));
    return sheet;
}

TEST(EmulatedRecorder, AnswersInquiryAndRefusesUnknownOrMalformedCommands) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    std::array<std::uint8_t, 100> inquiry{};
    const auto ok = drive.run({0x12, 0, 0, 0, 0x64, 0}, {}, inquiry);
    ASSERT_TRUE(ok.good);
    EXPECT_EQ(ok.dataInLength, 96u);
    EXPECT_EQ(inquiry[0], 0x05);
    EXPECT_EQ(std::string(inquiry.begin() + 16, inquiry.begin() + 32), "EMULATED CD-RW  ");
    EXPECT_SENSE(drive, drive.run({0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), sense::kInvalidOperationCode);
    EXPECT_SENSE(drive, drive.run({0x28, 0, 0, 0, 0, 0, 0, 0, 0, 0}), sense::kInvalidOperationCode);  // no reading
    EXPECT_SENSE(drive, drive.run({0x00, 0, 0}), sense::kInvalidFieldInCdb);  // short block
    EXPECT_SENSE(drive, drive.run({}), sense::kInvalidOperationCode);
    EXPECT_SENSE(drive, drive.run({0x12, 1, 0x80, 0, 0x64, 0}), sense::kInvalidFieldInCdb);
    // Allocation lengths bound what comes back.
    std::array<std::uint8_t, 100> shortAnswer{};
    EXPECT_EQ(drive.run({0x12, 0, 0, 0, 10, 0}, {}, shortAnswer).dataInLength, 10u);
}

TEST(EmulatedRecorder, BlankDiscReportsEightyMinutesAndLeadIn) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    std::array<std::uint8_t, 34> info{};
    ASSERT_TRUE(drive.run({0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, {}, info).good);
    EXPECT_EQ(info[2] & 0x03, 0);      // blank
    EXPECT_EQ(info[2] & 0x10, 0);      // CD-R: not erasable
    EXPECT_EQ(info[17], 97);
    EXPECT_EQ(info[18], 26);
    EXPECT_EQ(info[19], 66);
    EXPECT_EQ(info[21], 79);
    EXPECT_EQ(info[22], 59);
    EXPECT_EQ(info[23], 74);
}

TEST(EmulatedRecorder, OpenTrayMakesMediumCommandsNotReadyAndPersists) {
    TempDir dir;
    {
        Drive drive(dir.file("disc.bin"));
        ASSERT_TRUE(drive.run({0x1B, 0, 0, 0, 0x02, 0}).good);
        EXPECT_SENSE(drive, drive.run({0, 0, 0, 0, 0, 0}), sense::kTrayOpen);
        std::array<std::uint8_t, 34> info{};
        EXPECT_SENSE(drive, drive.run({0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, {}, info), sense::kTrayOpen);
        EXPECT_TRUE(drive.run({0x12, 0, 0, 0, 0x24, 0}, {}, info).good);  // INQUIRY still answers
    }
    Drive again(dir.file("disc.bin"));
    EXPECT_TRUE(again.recorder.disc().trayOpen());
    ASSERT_TRUE(again.run({0x1B, 0, 0, 0, 0x03, 0}).good);
    EXPECT_TRUE(again.run({0, 0, 0, 0, 0, 0}).good);
}

TEST(EmulatedRecorder, ModeSelectChecksItsParameterList) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    EXPECT_TRUE(drive.setWriteType(0x02).good);
    EXPECT_SENSE(drive, drive.setWriteType(0x00), sense::kParameterValueInvalid);  // packet writing
    EXPECT_SENSE(drive, drive.setWriteType(0x03, 0x08), sense::kParameterValueInvalid);  // raw needs type 1-3
    EXPECT_TRUE(drive.setWriteType(0x03, 0x01).good);
    // Length in the command block that differs from the list.
    std::vector<std::uint8_t> parameters(60, 0);
    parameters[8] = 0x05;
    parameters[9] = 0x32;
    parameters[10] = 0x02;
    EXPECT_SENSE(drive, drive.run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 59, 0}, parameters), sense::kParameterListLengthError);
    // A page other than 05h, a block descriptor, no PF bit.
    auto other = parameters;
    other[8] = 0x2A;
    EXPECT_SENSE(drive, drive.run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, other), sense::kInvalidFieldInParameterList);
    auto descriptor = parameters;
    descriptor[7] = 8;
    EXPECT_SENSE(drive, drive.run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, descriptor), sense::kInvalidFieldInParameterList);
    EXPECT_SENSE(drive, drive.run({0x55, 0x00, 0, 0, 0, 0, 0, 0, 60, 0}, parameters), sense::kInvalidFieldInCdb);
    // Page 05h as sensed reflects what was selected, with a header the driver can parse.
    std::array<std::uint8_t, 164> answer{};
    ASSERT_TRUE(drive.run({0x5A, 0, 0x05, 0, 0, 0, 0, 0, 164, 0}, {}, answer).good);
    EXPECT_EQ((answer[0] << 8) | answer[1], 6 + 52);
    EXPECT_EQ(answer[8], 0x05);
    EXPECT_EQ(answer[10] & 0x0F, 0x03);
    EXPECT_SENSE(drive, drive.run({0x5A, 0, 0xC5, 0, 0, 0, 0, 0, 164, 0}, {}, answer), sense::kSavingNotSupported);
    EXPECT_SENSE(drive, drive.run({0x5A, 0, 0x0E, 0, 0, 0, 0, 0, 164, 0}, {}, answer), sense::kInvalidFieldInCdb);
}

TEST(EmulatedRecorder, CueSheetMustDescribeAConsistentDisc) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    const MmcCueSheet good = twoTrackSheet(300, 600);
    // Before session-at-once is chosen the cue sheet is out of sequence.
    EXPECT_SENSE(drive, drive.sendCue(good.bytes()), sense::kCommandSequenceError);
    ASSERT_TRUE(drive.setWriteType(0x02).good);

    const std::vector<std::uint8_t> base(good.bytes().begin(), good.bytes().end());
    auto refuse = [&](std::vector<std::uint8_t> sheet, SenseCode code) {
        EXPECT_SENSE(drive, drive.sendCue(sheet), code);
    };
    refuse(std::vector<std::uint8_t>(base.begin(), base.end() - 1), sense::kParameterListLengthError);
    refuse({}, sense::kParameterListLengthError);
    auto noLeadIn = base;
    noLeadIn[1] = 1;
    refuse(noLeadIn, sense::kInvalidFieldInParameterList);
    auto skipTrack = base;
    skipTrack[3 * 8 + 1] = 3;  // track 2's pregap entry claims track 3
    refuse(skipTrack, sense::kInvalidFieldInParameterList);
    auto timeBack = base;
    timeBack[3 * 8 + 5] = 0, timeBack[3 * 8 + 6] = 2, timeBack[3 * 8 + 7] = 0;  // pregap at track 1's start
    refuse(timeBack, sense::kInvalidFieldInParameterList);
    auto badFrame = base;
    badFrame[2 * 8 + 7] = 75;
    refuse(badFrame, sense::kInvalidFieldInParameterList);
    auto audioForm = base;
    audioForm[2 * 8 + 3] = 0x00;
    refuse(audioForm, sense::kInvalidFieldInParameterList);
    auto leadOutMissing = std::vector<std::uint8_t>(base.begin(), base.end() - 8);
    refuse(leadOutMissing, sense::kInvalidFieldInParameterList);
    auto noPregap = std::vector<std::uint8_t>(base.begin(), base.begin() + 8);
    noPregap.insert(noPregap.end(), base.begin() + 16, base.end());  // track 1 without index 0
    refuse(noPregap, sense::kInvalidFieldInParameterList);
    refuse(std::vector<std::uint8_t>(2408, 0), sense::kParameterListLengthError);
    // Longer than an 80-minute disc.
    MmcCueSheet tooLong = twoTrackSheet(300, 360000);
    refuse({tooLong.bytes().begin(), tooLong.bytes().end()}, sense::kAddressOutOfRange);

    EXPECT_TRUE(drive.sendCue(good.bytes()).good);
}

TEST(EmulatedRecorder, WritesMustFollowEachOtherWithMatchingLengths) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    EXPECT_SENSE(drive, drive.write(-150, 10), sense::kCommandSequenceError);  // no cue sheet yet
    ASSERT_TRUE(drive.setWriteType(0x02).good);
    const MmcCueSheet sheet = twoTrackSheet(10, 5);  // lead-out at 165
    ASSERT_TRUE(drive.sendCue(sheet.bytes()).good);
    EXPECT_SENSE(drive, drive.write(0, 10), sense::kInvalidAddressForWrite);  // the pregap comes first
    // A transfer that does not hold count x 2336 bytes.
    std::vector<std::uint8_t> shortData(2336 * 9, 0);
    const auto cdb = mmc_command::write10(-150, 10);
    EXPECT_SENSE(drive, drive.run({cdb.begin(), cdb.end()}, shortData), sense::kInvalidFieldInCdb);
    EXPECT_TRUE(drive.write(-150, 150).good);
    EXPECT_SENSE(drive, drive.write(1, 1), sense::kInvalidAddressForWrite);  // a gap
    EXPECT_TRUE(drive.write(0, 100, 0x11).good);
    EXPECT_SENSE(drive, drive.write(100, 66), sense::kAddressOutOfRange);  // past the lead-out
    EXPECT_EQ(drive.recorder.disc().status(), EmulatedDiscStatus::Blank);
    EXPECT_TRUE(drive.write(100, 65, 0x22).good);
    EXPECT_EQ(drive.recorder.disc().status(), EmulatedDiscStatus::Complete);
    EXPECT_EQ(drive.recorder.disc().sectors(), 165);
    EXPECT_EQ(std::filesystem::file_size(dir.file("disc.bin")), 165u * 2352u);
    // Closing the session keeps the drive busy for a moment, then the disc is written.
    EXPECT_SENSE(drive, drive.run({0, 0, 0, 0, 0, 0}), sense::kLongWriteInProgress);
    EXPECT_SENSE(drive, drive.run({0, 0, 0, 0, 0, 0}), sense::kLongWriteInProgress);
    EXPECT_TRUE(drive.run({0, 0, 0, 0, 0, 0}).good);
    std::array<std::uint8_t, 34> info{};
    ASSERT_TRUE(drive.run({0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, {}, info).good);
    EXPECT_EQ(info[2] & 0x03, 2);  // complete
    EXPECT_EQ(info[21], 0xFF);
    // A written CD-R takes no second recording.
    EXPECT_SENSE(drive, drive.sendCue(sheet.bytes()), sense::kInvalidAddressForWrite);
}

TEST(EmulatedRecorder, StoredSectorsGetSyncAndHeaderFromTheirAddress) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    ASSERT_TRUE(drive.setWriteType(0x02).good);
    ASSERT_TRUE(drive.sendCue(twoTrackSheet(1, 1).bytes()).good);
    ASSERT_TRUE(drive.write(-150, 150).good);
    ASSERT_TRUE(drive.write(0, 152, 0x5A).good);
    const auto bytes = testing::readBytes(dir.file("disc.bin"));
    ASSERT_EQ(bytes.size(), 152u * 2352u);
    const std::size_t at = 151 * 2352;  // address 151 = 00:04:01
    EXPECT_EQ(bytes[at], 0x00);
    EXPECT_EQ(bytes[at + 1], 0xFF);
    EXPECT_EQ(bytes[at + 11], 0x00);
    EXPECT_EQ(bytes[at + 12], 0x00);
    EXPECT_EQ(bytes[at + 13], 0x04);
    EXPECT_EQ(bytes[at + 14], 0x01);
    EXPECT_EQ(bytes[at + 15], 0x02);
    EXPECT_EQ(bytes[at + 16], 0x5A);
    EXPECT_EQ(bytes[at + 2351], 0x5A);
}

TEST(EmulatedRecorder, TestWriteBurnsNothing) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    ASSERT_TRUE(drive.setWriteType(0x12).good);  // session at once, test write
    ASSERT_TRUE(drive.sendCue(twoTrackSheet(1, 1).bytes()).good);
    ASSERT_TRUE(drive.write(-150, 150).good);
    ASSERT_TRUE(drive.write(0, 152).good);
    EXPECT_EQ(drive.recorder.disc().status(), EmulatedDiscStatus::Blank);
    EXPECT_FALSE(std::filesystem::exists(dir.file("disc.bin")) && std::filesystem::file_size(dir.file("disc.bin")) > 0);
    EXPECT_EQ(drive.recorder.sectorsWritten(), 152);
}

TEST(EmulatedRecorder, EjectDuringARecordingSpoilsTheDisc) {
    TempDir dir;
    Drive drive(dir.file("disc.bin"));
    ASSERT_TRUE(drive.setWriteType(0x02).good);
    ASSERT_TRUE(drive.sendCue(twoTrackSheet(100, 100).bytes()).good);
    ASSERT_TRUE(drive.write(-150, 150).good);
    ASSERT_TRUE(drive.write(0, 10).good);
    ASSERT_TRUE(drive.run({0x1B, 0, 0, 0, 0x02, 0}).good);
    EXPECT_EQ(drive.recorder.disc().status(), EmulatedDiscStatus::Incomplete);
    ASSERT_TRUE(drive.run({0x1B, 0, 0, 0, 0x03, 0}).good);
    std::array<std::uint8_t, 34> info{};
    ASSERT_TRUE(drive.run({0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0}, {}, info).good);
    EXPECT_EQ(info[2] & 0x03, 1);
}

TEST(EmulatedRecorder, WriteTheDriveIsToldToFailSpoilsTheDiscHalfWay) {
    TempDir dir;
    EmulatedRecorderOptions options;
    options.failWriteNumber = 3;
    Drive drive(dir.file("disc.bin"), options);
    ASSERT_TRUE(drive.setWriteType(0x02).good);
    ASSERT_TRUE(drive.sendCue(twoTrackSheet(100, 100).bytes()).good);
    ASSERT_TRUE(drive.write(-150, 150).good);
    ASSERT_TRUE(drive.write(0, 10).good);
    EXPECT_SENSE(drive, drive.write(10, 10), sense::kWriteError);
    EXPECT_EQ(drive.recorder.disc().status(), EmulatedDiscStatus::Incomplete);
    EXPECT_SENSE(drive, drive.write(10, 10), sense::kCommandSequenceError);  // the session is over
}

TEST(EmulatedRecorder, BlankErasesOnlyRewritableDiscsAndStaysBusyMeanwhile) {
    TempDir dir;
    testing::writeFile(dir.file("cdr.bin"), std::string(2352 * 4, 'x'));  // a finished disc
    testing::writeFile(dir.file("cdr.bin.state"), "[disc]\nmedium=cdr\nstatus=complete\nsectors=4\n");
    Drive cdr(dir.file("cdr.bin"));
    EXPECT_EQ(cdr.recorder.disc().status(), EmulatedDiscStatus::Complete);
    EXPECT_SENSE(cdr, cdr.run({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), sense::kIncompatibleMedium);

    EmulatedRecorderOptions rewritable;
    rewritable.mediumForNewDisc = EmulatedMedium::CdRw;
    rewritable.blankBusyAnswers = 2;
    Drive cdrw(dir.file("cdrw.bin"), rewritable);
    ASSERT_TRUE(cdrw.setWriteType(0x02).good);
    ASSERT_TRUE(cdrw.sendCue(twoTrackSheet(1, 1).bytes()).good);
    ASSERT_TRUE(cdrw.write(-150, 150).good);
    ASSERT_TRUE(cdrw.write(0, 152).good);
    for (int i = 0; i < 2; ++i) cdrw.run({0, 0, 0, 0, 0, 0});  // let the session close
    ASSERT_EQ(cdrw.recorder.disc().status(), EmulatedDiscStatus::Complete);
    EXPECT_SENSE(cdrw, cdrw.run({0xA1, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), sense::kInvalidFieldInCdb);
    ASSERT_TRUE(cdrw.run({0xA1, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).good);
    EXPECT_SENSE(cdrw, cdrw.run({0, 0, 0, 0, 0, 0}), sense::kOperationInProgress);
    EXPECT_SENSE(cdrw, cdrw.run({0, 0, 0, 0, 0, 0}), sense::kOperationInProgress);
    EXPECT_TRUE(cdrw.run({0, 0, 0, 0, 0, 0}).good);
    EXPECT_EQ(cdrw.recorder.disc().status(), EmulatedDiscStatus::Blank);
    EXPECT_EQ(std::filesystem::file_size(dir.file("cdrw.bin")), 0u);
    Drive reopened(dir.file("cdrw.bin"));
    EXPECT_EQ(reopened.recorder.disc().medium(), EmulatedMedium::CdRw);
    EXPECT_EQ(reopened.recorder.disc().status(), EmulatedDiscStatus::Blank);
}

TEST(EmulatedDeviceName, ParsesPathAndOptions) {
    auto plain = parseEmulatedDeviceName("emulated:/tmp/x.bin");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->path, "/tmp/x.bin");
    EXPECT_EQ(plain->options.mediumForNewDisc, EmulatedMedium::CdR);
    auto rich = parseEmulatedDeviceName("emulated:/tmp/x.bin?medium=cdrw&busy=3");
    ASSERT_TRUE(rich);
    EXPECT_EQ(rich->options.mediumForNewDisc, EmulatedMedium::CdRw);
    EXPECT_EQ(rich->options.busyEveryWrites, 3);
    auto failing = parseEmulatedDeviceName("emulated:/tmp/x.bin?failwrite=40");
    ASSERT_TRUE(failing);
    EXPECT_EQ(failing->options.failWriteNumber, 40);
    EXPECT_FALSE(parseEmulatedDeviceName("emulated:/x?failwrite=0"));
    EXPECT_FALSE(parseEmulatedDeviceName("/dev/sr0"));
    EXPECT_FALSE(parseEmulatedDeviceName("emulated:"));
    EXPECT_FALSE(parseEmulatedDeviceName("emulated:/x?busy=0"));
    EXPECT_FALSE(parseEmulatedDeviceName("emulated:/x?busy=2x"));
    EXPECT_FALSE(parseEmulatedDeviceName("emulated:/x?colour=red"));
}

TEST(EmulatedTransport, DiscoversOneWriterNamedAfterItsPath) {
    TempDir dir;
    EmulatedTransport transport(dir.file("disc.bin"));
    ASSERT_TRUE(transport.initialise(3, true));
    ASSERT_EQ(transport.writerCount(), 1);
    EXPECT_TRUE(transport.writer(0).isWriter);
    EXPECT_EQ(transport.writer(0).vendor, "TELLAVIN");
    EXPECT_EQ(transport.writer(0).devicePath, "emulated:" + dir.file("disc.bin"));
    EXPECT_EQ(transport.currentIndex(), 0);
    const std::uint8_t bad[6] = {0x1B, 0, 0, 0, 0xF0, 0};
    EXPECT_EQ(transport.execute(bad, {}, {}), CmdCheckCondition);
    EXPECT_EQ(transport.senseData()[2], kSenseIllegalRequest);
    EXPECT_EQ(transport.senseData()[12], 0x24);
}

}  // namespace
}  // namespace tellavine
