#include "support/mpeg_builder.h"
#include "support/temp_dir.h"
#include "vcd/mpeg_stream.h"

#include <gtest/gtest.h>

namespace tellavine::vcd {
namespace {

using tellavine::testing::TempDir;
using namespace testing;

class MpegStreamTest : public ::testing::Test {
protected:
    std::unique_ptr<MpegSource> scanned(const std::vector<Bytes>& packs, bool strict = true) {
        const auto path = dir.file("stream" + std::to_string(++files) + ".mpg");
        writeBytes(path, packs);
        auto source = createMpegSource(openFileDataSource(path));
        source->scan(strict);
        return source;
    }
    static Bytes videoPack(const SequenceHeader& header, double pts, int version = 1) {
        Bytes payload = sequenceHeaderBytes(header);
        for (auto part : {gopHeaderBytes(), pictureHeaderBytes(1)}) payload.insert(payload.end(), part.begin(), part.end());
        return PackBuilder(version).pes(0xE0, pts, payload).finish();
    }

    TempDir dir;
    int files = 0;
};

TEST_F(MpegStreamTest, StillPacksAreCountedWithSizeNormAndAccessPoints) {
    auto source = scanned({stillPack(1.0), stillPack(1.5), stillPack(2.0, true)});
    const auto& info = source->info();
    EXPECT_EQ(info.packs, 3u);
    EXPECT_EQ(info.version, 1);
    ASSERT_TRUE(info.video[1].present);
    EXPECT_FALSE(info.video[0].present);
    EXPECT_EQ(info.video[1].horizontalSize, 352u);
    EXPECT_EQ(info.video[1].verticalSize, 288u);
    EXPECT_DOUBLE_EQ(info.video[1].frameRate, 25.0);
    EXPECT_EQ(videoNorm(info.video[1]), VideoNorm::PalSif);
    ASSERT_EQ(info.video[1].accessPoints.size(), 3u);
    EXPECT_EQ(info.video[1].accessPoints[2].pack, 2u);
    EXPECT_NEAR(info.video[1].accessPoints[2].time, 1.0, 1e-4);  // relative to the first time stamp
    EXPECT_NEAR(info.playingTime, 1.0, 1e-4);
}

TEST_F(MpegStreamTest, VersionComesFromTheFirstPackHeader) {
    EXPECT_EQ(scanned({videoPack({}, 0.5, 2), videoPack({}, 1.0, 2)})->info().version, 2);
    EXPECT_EQ(scanned({videoPack({}, 0.5, 1)})->info().version, 1);
    const auto mpeg2 = scanned({videoPack({}, 0.5, 2)});
    EXPECT_EQ(mpeg2->info().video[0].accessPoints.size(), 1u);  // MPEG-2 PES headers carry the PTS too
}

TEST_F(MpegStreamTest, NormsFollowSizeAndFrameRate) {
    auto normOf = [&](SequenceHeader header) {
        const auto source = scanned({videoPack(header, 0.2)});
        const auto& video = source->info().video[0];
        return std::pair{videoNorm(video), isPal(video)};
    };
    EXPECT_EQ(normOf({352, 288, 1, 3}), std::pair(VideoNorm::PalSif, true));
    EXPECT_EQ(normOf({352, 240, 1, 4}), std::pair(VideoNorm::NtscSif, false));
    EXPECT_EQ(normOf({352, 240, 1, 1}), std::pair(VideoNorm::FilmSif, false));
    EXPECT_EQ(normOf({480, 576, 1, 3}), std::pair(VideoNorm::PalTwoThirdsD1, true));
    EXPECT_EQ(normOf({704, 576, 1, 3}), std::pair(VideoNorm::Unknown, true));
    EXPECT_EQ(normOf({704, 480, 1, 4}), std::pair(VideoNorm::Unknown, false));
    EXPECT_STREQ(videoNormName(VideoNorm::NtscSif), "NTSC SIF (352x240/30fps)");
}

TEST_F(MpegStreamTest, TrailingZerosFormAnAllZeroPack) {
    auto source = scanned({stillPack(1.0), Bytes(1000, 0)});
    EXPECT_EQ(source->info().packs, 2u);
    std::array<std::uint8_t, kMaxPackSize> payload;
    const auto pack = source->readPack(1, payload);
    EXPECT_EQ(pack.length, 1000u);
    EXPECT_EQ(pack.kind(), PacketKind::AllZero);
}

TEST_F(MpegStreamTest, UnreadableChunkEndsTheStreamSilently) {
    Bytes garbage(2324, 0x47);
    EXPECT_EQ(scanned({stillPack(1.0), stillPack(2.0), garbage, stillPack(3.0)})->info().packs, 2u);
    // A PES packet whose length runs past the 2324 bytes read.
    Bytes overlong = PackBuilder(1).raw({0x00, 0x00, 0x01, 0xE0, 0x10, 0x00, 0x0F}).finish(0);
    overlong.resize(2324, 0x11);
    EXPECT_EQ(scanned({stillPack(1.0), overlong})->info().packs, 1u);
}

TEST_F(MpegStreamTest, ShortPacksEndAtTheNextPackStartCode) {
    const Bytes first = PackBuilder(1).pes(0xE1, 0.1, pictureHeaderBytes(2)).finish(300);
    const Bytes second = PackBuilder(1).pes(0xE1, 0.2, pictureHeaderBytes(2)).finish(500);
    auto source = scanned({first, second});
    EXPECT_EQ(source->info().packs, 2u);
    std::array<std::uint8_t, kMaxPackSize> payload;
    EXPECT_EQ(source->readPack(0, payload).length, 300u);
    EXPECT_EQ(payload[300], 0);  // the rest of the payload is zero, not the next pack
    EXPECT_EQ(source->readPack(1, payload).length, 500u);
}

TEST_F(MpegStreamTest, StrictModeKeepsOnlyIPicturesAfterSequenceAndGopHeaders) {
    Bytes plain = pictureHeaderBytes(1);  // an I picture without headers before it
    const Bytes packs[] = {PackBuilder(1).pes(0xE0, 1.0, plain).finish(), videoPack({}, 2.0)};
    EXPECT_EQ(scanned({packs[0], packs[1]}, true)->info().video[0].accessPoints.size(), 1u);
    EXPECT_EQ(scanned({packs[0], packs[1]}, false)->info().video[0].accessPoints.size(), 2u);
    // A later I picture with an earlier time stamp is not an access point.
    EXPECT_EQ(scanned({videoPack({}, 2.0), videoPack({}, 1.0)})->info().video[0].accessPoints.size(), 1u);
}

TEST_F(MpegStreamTest, AudioHeaderAndPacketKinds) {
    const Bytes audio = PackBuilder(1).pes(0xC0, 0.3, audioFrameHeader(3)).finish();
    const Bytes both = PackBuilder(1).pes(0xC0, 0.3, audioFrameHeader(0)).pes(0xE0, 0.3, {0, 0, 0}).finish();
    const Bytes privateOne = PackBuilder(1).pes(0xBD, 0.4, {0x02, 0x00}).finish();
    const Bytes system = PackBuilder(1).systemHeader().finish();
    const Bytes empty = PackBuilder(1).raw({0x00, 0x00, 0x01, 0xB9}).finish(0);
    auto source = scanned({audio, both, privateOne, system, empty});
    const auto& info = source->info();
    ASSERT_EQ(info.packs, 5u);
    EXPECT_TRUE(info.audio[0].present);
    EXPECT_EQ(info.audio[0].layer, 2u);
    EXPECT_EQ(info.audio[0].bitRate, 224000u);
    EXPECT_EQ(info.audio[0].samplingRate, 44100u);
    EXPECT_EQ(info.audio[0].mode, 4u);  // first header read wins: single channel
    EXPECT_TRUE(info.privateStreams[2]);
    std::array<std::uint8_t, kMaxPackSize> payload;
    EXPECT_EQ(source->readPack(0, payload).kind(), PacketKind::Audio);
    EXPECT_EQ(source->readPack(1, payload).kind(), PacketKind::Video);
    EXPECT_EQ(source->readPack(2, payload).kind(), PacketKind::Private);
    EXPECT_EQ(source->readPack(3, payload).kind(), PacketKind::Other);
    const auto end = source->readPack(4, payload);
    EXPECT_TRUE(end.programEnd);
    EXPECT_EQ(end.kind(), PacketKind::Invalid);
}

TEST_F(MpegStreamTest, ProgressReportsStartAndEnd) {
    const auto path = dir.file("progress.mpg");
    std::vector<Bytes> packs;
    for (int i = 0; i < 200; ++i) packs.push_back(stillPack(i * 0.04));
    writeBytes(path, packs);
    auto source = createMpegSource(openFileDataSource(path));
    std::vector<ScanProgress> reports;
    source->scan(true, [&](const ScanProgress& p) { reports.push_back(p); });
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().bytesDone, 0u);
    EXPECT_EQ(reports.back().packs, 200u);
    EXPECT_EQ(reports.back().bytesDone, 200u * 2324);
    EXPECT_LE(reports.size(), 102u);  // about one per per cent
    source->scan(true, [&](const ScanProgress& p) { reports.push_back(p); });  // scanned once only
    EXPECT_EQ(reports.back().packs, 200u);
}

TEST(SequenceEnd, FoundAnywhereInThePayload) {
    Bytes payload(2324, 0);
    EXPECT_FALSE(containsSequenceEnd(payload));
    payload[2320] = 1;  // 00 00 01 at 2318..2320
    payload[2321] = 0xB7;
    EXPECT_TRUE(containsSequenceEnd(payload));
}

}  // namespace
}  // namespace tellavine::vcd
