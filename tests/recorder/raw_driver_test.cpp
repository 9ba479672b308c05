#include "recorder/mmc_cue_sheet.h"
#include "recorder/raw_driver.h"
#include "recorder/raw_write_checker.h"
#include "recorder/recorder_feed.h"
#include "platform/numbered_messages.h"
#include "recorder/scrambler.h"
#include "recorder_test_support.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

using testing::makeImageSector;
using testing::RecordingPrompt;
using testing::RecordingReceiver;
using testing::ScriptedTransport;
using testing::TempDir;

std::int32_t addressOf(const std::vector<std::uint8_t>& cdb) {
    return static_cast<std::int32_t>((std::uint32_t{cdb[2]} << 24) | (std::uint32_t{cdb[3]} << 16) |
                                     (std::uint32_t{cdb[4]} << 8) | cdb[5]);
}

// ISO track, pregap, MPEG track with an entry point: the program's own kind of disc.
struct Image {
    std::uint32_t iso = 60, mpeg = 100;
    std::uint32_t total() const { return iso + 150 + mpeg; }
    std::vector<RecorderCueEntry> cueList() const {
        return {{0, RecorderCueKind::TrackStart},
                {iso, RecorderCueKind::PregapStart},
                {iso + 150, RecorderCueKind::TrackStart},
                {iso + 180, RecorderCueKind::IndexMark},
                {total(), RecorderCueKind::LeadOut}};
    }
};

struct RawRig {
    explicit RawRig(EmulatedRecorderOptions options = {}, RecordingOptions recording = {})
        : transport(dir.file("disc.bin"), std::move(options)) {
        driver.attachTransport(&transport);
        driver.setRecordingOptions(recording);
        driver.setSleeper([](std::chrono::milliseconds) {});
        driver.setPrompt(std::make_shared<RecordingPrompt>());
        sheet.buildFromCueList(image.cueList());
        driver.setCueSheet(sheet.bytes());
        window.attach(receiver);
        transport.sent.clear();
    }
    const EmulatedRecorder& drive() const { return transport.inner.recorder(); }

    // The whole recording through the feed; the image sectors are collected in `bin`.
    int burn() {
        SinkOwner owner;
        owner.window.attach(receiver);
        RecorderFeed feed;
        feed.cueSheet().buildFromCueList(image.cueList());
        owner.imageSectors = static_cast<std::int32_t>(image.total());
        feed.openQueue(driver.takesRawSectors());
        if (!feed.start(owner, driver)) return -2;
        for (std::uint32_t lsn = 0; lsn < image.total(); ++lsn) {
            const auto sector = makeImageSector(static_cast<int>(lsn), 3);
            bin.insert(bin.end(), sector.begin(), sector.end());
            feed.queueSector(sector);
        }
        feed.closeQueue();
        return feed.wait();
    }

    TempDir dir;
    Image image;
    ScriptedTransport transport;
    RawDriver driver;
    MmcCueSheet sheet;
    std::shared_ptr<RecordingReceiver> receiver = std::make_shared<RecordingReceiver>();
    MessageTarget window;
    std::vector<std::uint8_t> bin;
    std::string error;
};

TEST(RawDriver, PrefersPqSubChannelAndFallsBackToRawPw) {
    RawRig pq;
    ASSERT_TRUE(pq.driver.prepare(pq.error, nullptr));
    EXPECT_EQ(pq.driver.dataBlockType(), 1);
    EXPECT_EQ(pq.driver.sectorSize(), 2368u);
    EXPECT_EQ(pq.drive().writeParameters()[2] & 0x0F, 0x03);
    EXPECT_EQ(pq.drive().writeParameters()[3], 0x00);
    EXPECT_EQ(pq.drive().writeParameters()[8], 0x00);

    EmulatedRecorderOptions noType1;
    noType1.refusedBlockTypes = {1};
    RawRig pw(noType1);
    ASSERT_TRUE(pw.driver.prepare(pw.error, nullptr));
    EXPECT_EQ(pw.driver.dataBlockType(), 3);
    EXPECT_EQ(pw.driver.sectorSize(), 2448u);
    EXPECT_EQ(pw.transport.counts[0x55], 2);

    EmulatedRecorderOptions nothing;
    nothing.refusedBlockTypes = {1, 2, 3};
    RawRig none(nothing);
    EXPECT_FALSE(none.driver.prepare(none.error, nullptr));
    EXPECT_EQ(none.transport.counts[0x55], 3);
    EXPECT_EQ(none.error, "Error while setting write parameteres");
}

TEST(RawDriver, LeadInStartsWhereTheDriveSaysOrFourThousandSixHundredFiftySectorsEarly) {
    RawRig late;
    ASSERT_TRUE(late.driver.prepare(late.error, nullptr));
    EXPECT_EQ(late.driver.leadInAddress(), -11634);
    late.transport.sent.clear();
    ASSERT_TRUE(late.driver.start(late.window, late.error, nullptr));
    int sectors = 0;
    std::int32_t firstAddress = 0, lastAddress = 0;
    for (const auto& command : late.transport.sent) {
        if (command.cdb[0] != 0x2A) continue;
        if (sectors == 0) firstAddress = addressOf(command.cdb);
        lastAddress = addressOf(command.cdb) + command.cdb[8] - 1;
        sectors += command.cdb[8];
        EXPECT_EQ(command.dataOut, command.cdb[8] * 2368u);
        EXPECT_LE(command.cdb[8], 27);
    }
    EXPECT_EQ(firstAddress, -11634);
    EXPECT_EQ(sectors, 11484 + 150);
    EXPECT_EQ(lastAddress, -1);
    EXPECT_TRUE(late.drive().rawProblem().empty()) << late.drive().rawProblem();

    EmulatedRecorderOptions early;
    early.leadInMinute = 0;
    early.leadInSecond = 0;
    early.leadInFrame = 0;
    RawRig shortLeadIn(early);
    ASSERT_TRUE(shortLeadIn.driver.prepare(shortLeadIn.error, nullptr));
    EXPECT_EQ(shortLeadIn.driver.leadInAddress(), -4650);
    ASSERT_TRUE(shortLeadIn.driver.start(shortLeadIn.window, shortLeadIn.error, nullptr));
    EXPECT_TRUE(shortLeadIn.drive().rawProblem().empty()) << shortLeadIn.drive().rawProblem();

    // FF:FF:FF is no time at all: it would put the lead-in after the program area.
    EmulatedRecorderOptions nonsense;
    nonsense.leadInMinute = nonsense.leadInSecond = nonsense.leadInFrame = 0xFF;
    RawRig refused(nonsense);
    EXPECT_FALSE(refused.driver.prepare(refused.error, nullptr));
    EXPECT_EQ(refused.error, "Error while getting session information");
}

TEST(RawDriver, DriverMadeSectorsAreScrambledMode2WithCountingHeaders) {
    RawRig rig;
    ASSERT_TRUE(rig.driver.prepare(rig.error, nullptr));
    rig.transport.watchedWrites[-11634 + 27] = {};  // second lead-in block
    rig.transport.watchedWrites[-150] = {};         // first pregap block
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    auto sectorOf = [&](std::int32_t blockAddress, std::size_t index) {
        const auto& data = rig.transport.watchedWrites.at(blockAddress);
        std::array<std::uint8_t, 2352> sector{};
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(index * 2368), 2352, sector.begin());
        scrambleSector(sector);
        return sector;
    };
    const auto leadIn = sectorOf(-11634 + 27, 1);  // the 29th lead-in sector: 00:00:28
    EXPECT_EQ(leadIn[0], 0x00);
    EXPECT_EQ(leadIn[1], 0xFF);
    EXPECT_EQ(leadIn[12], 0x00);
    EXPECT_EQ(leadIn[13], 0x00);
    EXPECT_EQ(leadIn[14], 0x28);
    EXPECT_EQ(leadIn[15], 0x02);
    EXPECT_TRUE(std::all_of(leadIn.begin() + 16, leadIn.end(), [](std::uint8_t b) { return b == 0; }));
    const auto pregap = sectorOf(-150, 2);  // counts from 00:00:00 again
    EXPECT_EQ(pregap[14], 0x02);
    EXPECT_EQ(pregap[13], 0x00);
    // On the wire the body is scrambled, so it is not all zero.
    const auto& wire = rig.transport.watchedWrites.at(-150);
    EXPECT_NE(wire[2000], 0);
    EXPECT_TRUE(rig.drive().rawProblem().empty()) << rig.drive().rawProblem();
}

TEST(RawBurn, ProgramAreaIsTheImageAndTheSubChannelPassesTheDrivesChecks) {
    for (bool pw : {false, true}) {
        EmulatedRecorderOptions options;
        if (pw) options.refusedBlockTypes = {1};
        RawRig rig(options);
        ASSERT_EQ(rig.burn(), 0) << rig.drive().rawProblem();
        EXPECT_TRUE(rig.drive().rawProblem().empty()) << rig.drive().rawProblem();
        EXPECT_EQ(rig.drive().disc().status(), EmulatedDiscStatus::Complete);
        EXPECT_EQ(rig.drive().disc().sectors(), rig.image.total());
        EXPECT_EQ(testing::readBytes(rig.dir.file("disc.bin")), rig.bin);
        // SET CD SPEED, READ DISC INFORMATION, page 05h, OPC, writes, then the close.
        const auto opcodes = rig.transport.opcodes();
        ASSERT_GE(opcodes.size(), 8u);
        EXPECT_EQ(opcodes[0], 0xBB);
        EXPECT_EQ(opcodes[1], 0x51);
        EXPECT_EQ(opcodes[2], 0x5A);
        EXPECT_EQ(opcodes[3], 0x55);
        EXPECT_EQ(std::count(opcodes.begin(), opcodes.end(), 0x5D), 0);  // no cue sheet in raw mode
        const auto sync = std::find(opcodes.begin(), opcodes.end(), 0x35);
        ASSERT_NE(sync, opcodes.end());
        EXPECT_EQ(opcodes.back(), 0x1B);
        auto numbers = rig.receiver->numbers();
        EXPECT_EQ(numbers.back(), WM_BURN_DONE);
    }
}

TEST(RawBurn, SimulationLeavesTheDiscBlank) {
    RecordingOptions simulate;
    simulate.simulate = true;
    RawRig rig({}, simulate);
    ASSERT_EQ(rig.burn(), 0);
    EXPECT_EQ(rig.drive().disc().status(), EmulatedDiscStatus::Blank);
    EXPECT_EQ(rig.transport.counts[0x54], 0);
    const auto opcodes = rig.transport.opcodes();
    EXPECT_EQ(opcodes[opcodes.size() - 2], 0x1B);
    EXPECT_EQ(opcodes.back(), 0x1B);
}

TEST(RawDriver, FailedLeadOutIsAFailedRecording) {
    RawRig rig;
    ASSERT_TRUE(rig.driver.prepare(rig.error, nullptr));
    ASSERT_TRUE(rig.driver.start(rig.window, rig.error, nullptr));
    rig.driver.dataSectorCount = 0;
    rig.transport.failOn(0x2A);
    EXPECT_FALSE(rig.driver.finish(rig.window, rig.error, nullptr));
    EXPECT_EQ(rig.error, "Error while writing lead out");
    EXPECT_EQ(rig.transport.counts[0x1B], 0);  // nothing flushed or ejected after it
}

// Sub-channel of a whole disc straight from the encoder, with one fault put in.
std::string checkWithFault(const std::function<void(int, std::vector<std::uint8_t>&)>& spoil) {
    const Image image;
    MmcCueSheet sheet;
    sheet.buildFromCueList(image.cueList());
    PQChannelEncoder encoder;
    EXPECT_TRUE(encoder.build(PwSubChannel96(), 0x20, sheet.bytes(), -4650));
    RawWriteChecker checker(-4650);
    std::vector<std::uint8_t> sector(2352, 0);
    for (int address = -4650; address < static_cast<int>(image.total()) + 400; ++address) {
        std::fill(sector.begin(), sector.end(), 0);
        std::fill(sector.begin() + 1, sector.begin() + 11, 0xFF);
        if (address >= -150) {
            const Msf time = msfOf(address + 150);
            sector[12] = toBcd(time.minute);
            sector[13] = toBcd(time.second);
            sector[14] = toBcd(time.frame);
        }
        sector[15] = 2;
        const auto data = encoder.subChannelFor(address).data();
        std::vector<std::uint8_t> sub(data.begin(), data.end());
        spoil(address, sub);
        if (!checker.check(address, sector, sub)) return checker.problem();
    }
    return "";
}

std::vector<std::uint8_t> withQBit(std::vector<std::uint8_t> sub, std::size_t bit, bool value) {
    sub[bit] = static_cast<std::uint8_t>(value ? sub[bit] | 0x40 : sub[bit] & ~0x40);
    return sub;
}

TEST(RawWriteChecker, AcceptsTheEncoderAndCatchesEachKindOfFault) {
    EXPECT_EQ(checkWithFault([](int, std::vector<std::uint8_t>&) {}), "");
    // A flipped Q bit in the program area.
    EXPECT_EQ(checkWithFault([](int a, std::vector<std::uint8_t>& s) {
                  if (a == 10) s = withQBit(s, 30, !(s[30] & 0x40));
              }),
              "sector 10: Q CRC error");
    // P set inside a track, P cleared in the lead-out's first two seconds.
    auto setP = [](int at, bool p) {
        return [at, p](int a, std::vector<std::uint8_t>& s) {
            if (a == at)
                for (auto& b : s) b = static_cast<std::uint8_t>(p ? b | 0x80 : b & 0x7F);
        };
    };
    EXPECT_EQ(checkWithFault(setP(20, true)), "sector 20: P set inside a track");
    EXPECT_EQ(checkWithFault(setP(Image{}.total() + 5, false)),
              "sector " + std::to_string(Image{}.total() + 5) + ": P clear at the start of the lead-out");
    EXPECT_EQ(checkWithFault(setP(-4000, true)), "sector -4000: P set in the lead-in");
    // A lead-out whose P never alternates.
    EXPECT_NE(checkWithFault([](int a, std::vector<std::uint8_t>& s) {
                  if (a >= static_cast<int>(Image{}.total()))
                      for (auto& b : s) b |= 0x80;
              }).find("2 Hz"),
              std::string::npos);
}

}  // namespace
}  // namespace tellavine
