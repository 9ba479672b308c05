#include "platform/bytes.h"

#include <gtest/gtest.h>

namespace tellavine {
namespace {

TEST(ByteWriter, WritesEveryByteOrderFieldByField) {
    ByteWriter out;
    out.u16le(0x1234);
    out.u16be(0x1234);
    out.u32le(0x11223344);
    out.u32be(0x11223344);
    out.u32both(0x00000102);
    const std::vector<std::uint8_t> expected{0x34, 0x12, 0x12, 0x34, 0x44, 0x33, 0x22, 0x11,
                                             0x11, 0x22, 0x33, 0x44, 0x02, 0x01, 0x00, 0x00,
                                             0x00, 0x00, 0x01, 0x02};
    EXPECT_EQ(out.data(), expected);
}

TEST(ByteWriter, FixedTextIsCutOrPaddedToItsWidth) {
    ByteWriter out;
    out.fixedText("ABCDEF", 4);
    out.fixedText("AB", 4, ' ');
    out.fixedText("", 2);
    EXPECT_EQ(std::string(out.data().begin(), out.data().end()), std::string("ABCDAB  \0\0", 10));
}

TEST(ByteWriter, PatchesSizesWrittenLater) {
    ByteWriter out;
    out.u32le(0);
    out.padTo(8, 0xFF);
    out.patchU32le(0, 0xA1B2C3D4);
    EXPECT_EQ(out.size(), 8u);
    EXPECT_EQ(out.data()[0], 0xD4);
    EXPECT_EQ(out.data()[3], 0xA1);
    EXPECT_EQ(out.data()[7], 0xFF);
}

TEST(ByteReader, ReadsBackWhatTheWriterWrote) {
    ByteWriter out;
    out.i32le(-5);
    out.u16be(0xBEEF);
    out.fixedText("face", 8);
    ByteReader in(out.data());
    EXPECT_EQ(in.i32le(), -5);
    EXPECT_EQ(in.u16be(), 0xBEEF);
    EXPECT_EQ(in.fixedText(8), "face");
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(ByteReader, ReadPastTheEndFailsAndYieldsZero) {
    const std::vector<std::uint8_t> data{1, 2, 3};
    ByteReader in(data);
    EXPECT_EQ(in.u32le(), 0u);
    EXPECT_TRUE(in.failed());
    EXPECT_EQ(in.u8(), 0u);  // stays failed
}

}  // namespace
}  // namespace tellavine
