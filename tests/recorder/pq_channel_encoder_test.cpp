#include "recorder/mmc_cue_sheet.h"
#include "recorder/pq_channel_encoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tellavine {
namespace {

// The program's own layout: ISO track of 1000 sectors, pregap, MPEG track to 5000.
constexpr int kG = 1000, kT = 1150, kL = 5000;

std::vector<std::uint8_t> programSheet() {
    MmcCueSheet sheet;
    const RecorderCueEntry list[] = {{0, RecorderCueKind::TrackStart},
                                     {kG, RecorderCueKind::PregapStart},
                                     {kT, RecorderCueKind::TrackStart},
                                     {kL, RecorderCueKind::LeadOut}};
    EXPECT_TRUE(sheet.buildFromCueList(list));
    return {sheet.bytes().begin(), sheet.bytes().end()};
}

struct Frame {
    int ctlAdr, tno, index, min, sec, frame, amin, asec, aframe;
    bool p;
};

// Runs the encoder from the lead-in start and keeps the records at the wanted addresses.
class EncoderRun {
public:
    explicit EncoderRun(int firstAddress = -11634, std::vector<std::uint8_t> sheet = programSheet()) : first_(firstAddress) {
        EXPECT_TRUE(encoder_.build(PqSubChannel16(), 0x20, sheet, firstAddress)) << encoder_.diagnosticText();
    }
    Frame at(int address) {
        while (next_ <= address) {
            SubChannel& record = encoder_.subChannelFor(next_);
            last_ = {record.ctlAdr(), record.trackNr(), record.indexNr(), record.min(), record.sec(), record.frame(),
                     record.amin(),   record.asec(),    record.aframe(),  record.p()};
            const auto bytes = record.data();
            const std::uint16_t crc = subChannelCrc(bytes.first(10));
            EXPECT_EQ(bytes[10], crc >> 8) << next_;
            EXPECT_EQ(bytes[11], crc & 0xFF) << next_;
            ++next_;
        }
        return last_;
    }
    PQChannelEncoder& encoder() { return encoder_; }

private:
    PQChannelEncoder encoder_;
    int first_;
    int next_ = first_;
    Frame last_{};
};

TEST(PQChannelEncoder, LeadInCyclesThroughTheTableOfContents) {
    EncoderRun run;
    EXPECT_EQ(run.encoder().tocSize(), 5u);
    const int first = -11634;
    const int points[] = {0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0xA0, 0xA0, 0xA0, 0xA1, 0xA1, 0xA1, 0xA2, 0xA2, 0xA2, 0x01};
    for (int i = 0; i < 16; ++i) {
        const Frame frame = run.at(first + i);
        EXPECT_EQ(frame.index, points[i]) << i;  // POINT shares the byte of INDEX
        EXPECT_EQ(frame.tno, 0);
        EXPECT_FALSE(frame.p);
        EXPECT_EQ(frame.frame, i);  // running time from 00:00:00
    }
    // Track 2's entry: PMIN:PSEC:PFRAME = its index 1 at 1300 = 00:17:25; A0 says
    // first track 1 and disc type 20; A2 the lead-out at 5150 = 01:08:50.
    EncoderRun again;
    const Frame track2 = again.at(first + 3);
    EXPECT_EQ(track2.ctlAdr, 0x61);
    EXPECT_EQ(track2.amin * 4500 + track2.asec * 75 + track2.aframe, kT + 150);
    const Frame a0 = again.at(first + 6);
    EXPECT_EQ(a0.amin, 1);
    EXPECT_EQ(a0.asec, 20);
    const Frame a2 = again.at(first + 12);
    EXPECT_EQ(a2.ctlAdr, 0x41);
    EXPECT_EQ(a2.amin * 4500 + a2.asec * 75 + a2.aframe, kL + 150);
}

TEST(PQChannelEncoder, ProgramAreaFramesFollowTheWorkedLayout) {
    EncoderRun run;
    const Frame pregapStart = run.at(-150);
    EXPECT_EQ(pregapStart.ctlAdr, 0x61);
    EXPECT_EQ(pregapStart.tno, 1);
    EXPECT_EQ(pregapStart.index, 0);
    EXPECT_EQ(pregapStart.min * 4500 + pregapStart.sec * 75 + pregapStart.frame, 150);  // 00:02:00 counting down
    EXPECT_EQ(pregapStart.amin + pregapStart.asec + pregapStart.aframe, 0);
    EXPECT_TRUE(pregapStart.p);
    EXPECT_TRUE(run.at(-1).p);
    const Frame start = run.at(0);
    EXPECT_EQ(start.tno, 1);
    EXPECT_EQ(start.index, 1);
    EXPECT_EQ(start.min + start.sec + start.frame, 0);
    EXPECT_EQ(start.asec, 2);
    EXPECT_TRUE(start.p);
    EXPECT_FALSE(run.at(1).p);
    EXPECT_FALSE(run.at(kT - 151).p);
    // Track 2's pregap counts down to its start with P set.
    const Frame g = run.at(kG);
    EXPECT_EQ(g.tno, 2);
    EXPECT_EQ(g.index, 0);
    EXPECT_EQ(g.min * 4500 + g.sec * 75 + g.frame, 150);
    EXPECT_TRUE(g.p);
    const Frame beforeT = run.at(kT - 1);
    EXPECT_EQ(beforeT.frame, 1);
    const Frame t = run.at(kT);
    EXPECT_EQ(t.index, 1);
    EXPECT_EQ(t.frame, 0);
    EXPECT_TRUE(t.p);
    EXPECT_FALSE(run.at(kT + 1).p);
    EXPECT_FALSE(run.at(kL - 151).p);
    EXPECT_TRUE(run.at(kL - 150).p);
    // The lead-out: TNO AAh, index 1, time from zero, P on for 169 sectors then 2 Hz.
    const Frame leadOut = run.at(kL);
    EXPECT_EQ(leadOut.tno, 0xAA);
    EXPECT_EQ(leadOut.index, 1);
    EXPECT_EQ(leadOut.ctlAdr, 0x41);
    EXPECT_EQ(leadOut.frame, 0);
    EXPECT_TRUE(leadOut.p);
    EXPECT_TRUE(run.at(kL + 168).p);
    EXPECT_FALSE(run.at(kL + 169).p);
    EXPECT_FALSE(run.at(kL + 187).p);
    EXPECT_TRUE(run.at(kL + 188).p);
    const Frame late = run.at(kL + 6000);
    EXPECT_EQ(late.amin * 4500 + late.asec * 75 + late.aframe, kL + 6150);
}

std::string refusal(std::vector<std::uint8_t> sheet, std::uint8_t sessionFormat = 0x20) {
    PQChannelEncoder encoder;
    EXPECT_FALSE(encoder.build(PqSubChannel16(), sessionFormat, sheet, -11634));
    return encoder.diagnosticText();
}

TEST(PQChannelEncoder, CueSheetChecksGiveTheirTexts) {
    const auto good = programSheet();  // 0 lead-in, 1 (1,0), 2 (1,1), 3 (2,0), 4 (2,1), 5 lead-out
    EXPECT_EQ(refusal(good, 0x30), "Illegal disc type.");
    EXPECT_EQ(refusal(std::vector<std::uint8_t>(good.begin(), good.begin() + 7)), "Illegal cue sheet length.");
    auto leadOutFirst = good;
    std::swap_ranges(leadOutFirst.begin() + 8 * 4, leadOutFirst.begin() + 8 * 5, leadOutFirst.begin() + 8 * 5);
    EXPECT_EQ(refusal(leadOutFirst), "Illegal track number at cue sheet entry: 4");
    auto skipped = good;
    skipped[8 * 3 + 1] = 3;
    skipped[8 * 4 + 1] = 3;
    EXPECT_EQ(refusal(skipped), "Wrong track number sequence at cue sheet entry: 3");
    auto sameTime = good;
    std::copy(good.begin() + 8 * 2 + 5, good.begin() + 8 * 2 + 8, sameTime.begin() + 8 * 3 + 5);
    EXPECT_EQ(refusal(sameTime), "Time field does not increase at cue sheet entry: 3");
    auto badTime = good;
    badTime[8 * 2 + 6] = 60;
    EXPECT_EQ(refusal(badTime), "Illegal time field value at cue sheet entry: 2");
    auto badAdr = good;
    badAdr[8 * 2] = 0x65;
    EXPECT_EQ(refusal(badAdr), "Illegal adr field at cue sheet entry: 2.");
    auto lateCatalog = good;
    lateCatalog[8 * 2] = 0x02;
    EXPECT_EQ(refusal(lateCatalog), "Catalog number must be first cue sheet entry.");
    auto loneIsrc = good;
    loneIsrc[8 * 2] = 0x03;
    EXPECT_EQ(refusal(loneIsrc), "Missing second ISRC code entry.");
    EXPECT_EQ(refusal(std::vector<std::uint8_t>(good.begin() + 8, good.end())), "Cue sheet contains no lead-in entry.");
    EXPECT_EQ(refusal(std::vector<std::uint8_t>(good.begin(), good.end() - 8)), "Cue sheet contains no lead-out entry.");
    std::vector<std::uint8_t> noTrack(good.begin(), good.begin() + 8);
    noTrack.insert(noTrack.end(), good.end() - 8, good.end());
    EXPECT_EQ(refusal(noTrack), "Cue sheet contains no data track.");
    auto bigTrack = good;
    bigTrack[8 * 4 + 1] = 0xA0;
    EXPECT_EQ(refusal(bigTrack), "Illegal track number at cue sheet entry: 4");
}

TEST(PQChannelEncoder, CatalogPairBeforeTheLeadInIsAccepted) {
    const auto good = programSheet();
    std::vector<std::uint8_t> withCatalog = {0x02, '1', '2', '3', '4', '5', '6', '7', 0x02, '8', '9', '0', '1', '2', '3', 0};
    withCatalog.insert(withCatalog.end(), good.begin(), good.end());
    PQChannelEncoder encoder;
    EXPECT_TRUE(encoder.build(PqSubChannel16(), 0x20, withCatalog, -4650)) << encoder.diagnosticText();
    EXPECT_EQ(encoder.tocSize(), 5u);
}

TEST(PQChannelEncoder, FillAppendsTheSubChannelToEverySector) {
    EncoderRun run(-4650);
    for (int address = -4650; address < -1; ++address) run.encoder().subChannelFor(address);
    std::vector<std::uint8_t> sectors(2 * 2352, 0x77);
    std::vector<std::uint8_t> out(2 * 2368, 0);
    run.encoder().fill(-1, sectors, 2, out.data());
    EXPECT_EQ(out[0], 0x77);
    EXPECT_EQ(out[2351], 0x77);
    EXPECT_EQ(out[2352], 0x61);  // Q of address -1: track 1 index 0
    EXPECT_EQ(out[2352 + 15], 0x80);
    EXPECT_EQ(out[2368 + 2352 + 2], 0x01);  // address 0: index 1
}

}  // namespace
}  // namespace tellavine
