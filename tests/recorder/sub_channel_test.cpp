#include "recorder/sub_channel.h"

#include <gtest/gtest.h>

#include <string>

namespace tellavine {
namespace {

TEST(SubChannelCrc, PublishedCheckValueAndBitwiseRecomputation) {
    const std::string check = "123456789";
    // CRC-16 with polynomial 1021h and initial value 0 ("XMODEM") of "123456789".
    EXPECT_EQ(subChannelCrc(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0x31C3);
    // Bit by bit over some Q-like data.
    const std::uint8_t q[10] = {0x41, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00};
    unsigned crc = 0;
    for (std::uint8_t byte : q)
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = ((crc >> 15) & 1) != static_cast<unsigned>((byte >> bit) & 1);
            crc = (crc << 1) & 0xFFFF;
            if (top) crc ^= 0x1021;
        }
    EXPECT_EQ(subChannelCrc(q), crc);
}

TEST(SubChannel, SettersStoreBcdAndKeepLargeValues) {
    PqSubChannel16 record;
    record.setCtl(0x61);
    record.setTrackNr(0xAA);
    record.setIndexNr(1);
    record.setMin(12);
    record.setSec(34);
    record.setFrame(56);
    record.setAmin(79);
    EXPECT_EQ(record.ctlAdr(), 0x61);
    EXPECT_EQ(record.q()[1], 0xAA);
    EXPECT_EQ(record.trackNr(), 0xAA);
    EXPECT_EQ(record.q()[3], 0x12);
    EXPECT_EQ(record.q()[4], 0x34);
    EXPECT_EQ(record.q()[5], 0x56);
    EXPECT_EQ(record.sec(), 34);
    EXPECT_EQ(record.amin(), 79);
    record.setPoint(0xA2);
    EXPECT_EQ(record.point(), 0xA2);
    auto mode2 = record.makeForMode(2);
    EXPECT_EQ(mode2->ctlAdr(), 0x02);
    EXPECT_EQ(mode2->dataLength(), 16u);
    EXPECT_EQ(PwSubChannel96().makeForMode(3)->dataLength(), 96u);
}

TEST(SubChannel, Pq16LayoutAndPw96ComplementedCrc) {
    PqSubChannel16 pq;
    PwSubChannel96 pw;
    for (SubChannel* record : {static_cast<SubChannel*>(&pq), static_cast<SubChannel*>(&pw)}) {
        record->setCtl(0x41);
        record->setTrackNr(1);
        record->setIndexNr(1);
        record->setAmin(0);
        record->setAsec(2);
        record->setP(true);
        record->calcCrc();
    }
    const auto pqBytes = pq.data();
    ASSERT_EQ(pqBytes.size(), 16u);
    const std::uint16_t crc = subChannelCrc(pqBytes.first(10));
    EXPECT_EQ(pqBytes[10], crc >> 8);
    EXPECT_EQ(pqBytes[11], crc & 0xFF);
    EXPECT_EQ(pqBytes[12] | pqBytes[13] | pqBytes[14], 0);
    EXPECT_EQ(pqBytes[15], 0x80);

    const auto pwBytes = pw.data();
    ASSERT_EQ(pwBytes.size(), 96u);
    std::array<std::uint8_t, 12> q{};
    for (std::size_t i = 0; i < 96; ++i) {
        EXPECT_EQ(pwBytes[i] & 0x80, 0x80);  // P in every symbol
        EXPECT_EQ(pwBytes[i] & 0x3F, 0);     // R-W empty
        if (pwBytes[i] & 0x40) q[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
    }
    EXPECT_TRUE(std::equal(q.begin(), q.begin() + 10, pqBytes.begin()));
    EXPECT_EQ(q[10], static_cast<std::uint8_t>(~pqBytes[10]));
    EXPECT_EQ(q[11], static_cast<std::uint8_t>(~pqBytes[11]));

    DecodedSubChannel fromPq, fromPw;
    ASSERT_TRUE(decodeSubChannel(pqBytes, fromPq));
    ASSERT_TRUE(decodeSubChannel(pwBytes, fromPw));
    EXPECT_EQ(fromPq.q, fromPw.q);
    EXPECT_TRUE(fromPw.p);
    std::vector<std::uint8_t> mixed(pwBytes.begin(), pwBytes.end());
    mixed[5] &= 0x7F;
    EXPECT_FALSE(decodeSubChannel(mixed, fromPw));
}

}  // namespace
}  // namespace tellavine
