#include "audio/wav_format.h"
#include "audio/pcm_samples.h"

#include "audio/support/audio_fixtures.h"
#include "platform/file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <limits>

namespace tellavine::audio {
namespace {

std::optional<WavLayout> layoutOf(const std::string& path) {
    File file = File::open(path, "rb");
    return file ? readWavLayout(file.get()) : std::nullopt;
}

TEST(WavLayout, FindsFormatAndDataBehindExtraChunks) {
    testing::TempDir dir;
    const auto plain = dir.file("plain.wav");
    const auto listed = dir.file("listed.wav");
    testing::makeToneWav(plain, {22050, 1, 0.5, 1000});
    testing::addListChunk(plain, listed);

    const auto a = layoutOf(plain);
    const auto b = layoutOf(listed);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->dataOffset, 44u);
    EXPECT_GT(b->dataOffset, 44u);  // the LIST chunk sits between "fmt " and "data"
    for (const auto& layout : {*a, *b}) {
        EXPECT_EQ(layout.format.formatTag, kWavFormatPcm);
        EXPECT_EQ(layout.format.channels, 1);
        EXPECT_EQ(layout.format.sampleRate, 22050);
        EXPECT_EQ(layout.format.bitsPerSample, 16);
        EXPECT_EQ(layout.dataLength, 22050u / 2 * 2);
        EXPECT_TRUE(isPlayablePcm(layout.format));
    }
    // The samples behind the LIST chunk are the same as in the plain file.
    const auto plainBytes = testing::fileBytes(plain);
    const auto listedBytes = testing::fileBytes(listed);
    EXPECT_TRUE(std::equal(plainBytes.begin() + 44, plainBytes.end(), listedBytes.begin() + b->dataOffset));
}

// Every uncompressed encoding sox writes is taken, in plain and extensible headers; what
// the chain cannot turn into 16-bit stereo is not.
TEST(WavLayout, TakesEveryPcmEncodingAndRefusesCompressedOrSurroundSound) {
    testing::TempDir dir;
    struct Case {
        int bits;
        const char* encoding;
        int channels;
        PcmEncoding expected;
    };
    for (const Case c : {Case{8, "", 2, PcmEncoding::Unsigned8}, Case{16, "", 1, PcmEncoding::Signed16},
                         Case{24, "", 2, PcmEncoding::Signed24}, Case{32, "", 2, PcmEncoding::Signed32},
                         Case{32, "floating-point", 2, PcmEncoding::Float32},
                         Case{64, "floating-point", 1, PcmEncoding::Float64},
                         Case{4, "ms-adpcm", 2, PcmEncoding::Unsupported},
                         Case{8, "a-law", 1, PcmEncoding::Unsupported},
                         Case{16, "", 6, PcmEncoding::Signed16}}) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits " + c.encoding + ", " + std::to_string(c.channels) + " channels");
        const auto path = dir.file("tone.wav");
        testing::makeToneWav(path, {44100, c.channels, 0.1, 1000, c.bits, c.encoding});
        const auto layout = layoutOf(path);
        ASSERT_TRUE(layout);
        EXPECT_EQ(pcmEncodingOf(layout->format), c.expected);
        EXPECT_EQ(isPlayablePcm(layout->format), c.expected != PcmEncoding::Unsupported && c.channels <= 2);
    }
}

// Wider samples round to the nearest 16-bit step; floats scale 1.0 to full scale; both
// clip instead of wrapping round.
TEST(PcmSamples, EveryEncodingBecomesTheNearestSixteenBitValue) {
    struct Case {
        PcmEncoding encoding;
        std::vector<std::uint8_t> bytes;
        std::int16_t expected;
    };
    auto floatBytes = [](float value) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                         static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    };
    auto doubleBytes = [](double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        return bytes;
    };
    const Case cases[] = {
        {PcmEncoding::Unsigned8, {0x80}, 0},
        {PcmEncoding::Unsigned8, {0x00}, -32768},
        {PcmEncoding::Unsigned8, {0xFF}, 32512},
        {PcmEncoding::Signed16, {0x34, 0x12}, 0x1234},
        {PcmEncoding::Signed24, {0x7F, 0x34, 0x12}, 0x1234},   // below half a step: down
        {PcmEncoding::Signed24, {0x80, 0x34, 0x12}, 0x1235},   // half a step: up
        {PcmEncoding::Signed24, {0x00, 0x00, 0x80}, -32768},
        {PcmEncoding::Signed24, {0xFF, 0xFF, 0x7F}, 32767},    // rounds past the top: clipped
        {PcmEncoding::Signed24, {0x80, 0xFF, 0xFF}, 0},        // -128 / 256 rounds to 0
        {PcmEncoding::Signed32, {0x00, 0x80, 0x34, 0x12}, 0x1235},
        {PcmEncoding::Signed32, {0x00, 0x00, 0x00, 0x80}, -32768},
        {PcmEncoding::Float32, floatBytes(0.5f), 16384},
        {PcmEncoding::Float32, floatBytes(-1.0f), -32768},
        {PcmEncoding::Float32, floatBytes(1.0f), 32767},
        {PcmEncoding::Float32, floatBytes(7.5f), 32767},
        {PcmEncoding::Float32, floatBytes(std::numeric_limits<float>::quiet_NaN()), 0},
        {PcmEncoding::Float64, doubleBytes(-0.25), -8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        ASSERT_EQ(c.bytes.size(), static_cast<std::size_t>(pcmSampleBytes(c.encoding)));
        EXPECT_EQ(toPcm16(c.encoding, c.bytes.data()), c.expected);
    }
}

TEST(WavLayout, DamagedFilesFailOrAreCutToWhatExists) {
    testing::TempDir dir;
    const auto good = dir.file("good.wav");
    testing::makeToneWav(good, {44100, 2, 0.1, 1000});
    auto bytes = testing::fileBytes(good);

    // Data length claims more than the file holds: cut to the file.
    const auto cut = dir.file("cut.wav");
    testing::writeFile(cut, std::string(bytes.begin(), bytes.end() - 1000));
    const auto layout = layoutOf(cut);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataLength, bytes.size() - 1000 - 44);

    // No "data", no "fmt ", not RIFF, empty.
    const auto noData = dir.file("nodata.wav");
    testing::writeFile(noData, std::string(bytes.begin(), bytes.begin() + 36));
    EXPECT_FALSE(layoutOf(noData));
    auto renamed = bytes;
    renamed[12] = 'x';
    const auto noFormat = dir.file("nofmt.wav");
    testing::writeFile(noFormat, std::string(renamed.begin(), renamed.end()));
    EXPECT_FALSE(layoutOf(noFormat));
    const auto notRiff = dir.file("notriff.wav");
    testing::writeFile(notRiff, "RIFX" + std::string(bytes.begin() + 4, bytes.end()));
    EXPECT_FALSE(layoutOf(notRiff));
    const auto empty = dir.file("empty.wav");
    testing::writeFile(empty, "");
    EXPECT_FALSE(layoutOf(empty));
}

TEST(CanonicalWavHeader, IsReadBackByAnIndependentReader) {
    testing::TempDir dir;
    const auto path = dir.file("canonical.wav");
    const std::uint32_t dataLength = 48000 * 2;  // one second of 48 kHz mono
    auto header = canonicalWavHeader(1, 48000, 16, dataLength);
    ASSERT_EQ(header.size(), kCanonicalWavHeaderSize);
    header.resize(header.size() + dataLength, 0);
    testing::writeFile(path, std::string(header.begin(), header.end()));

    const auto probed = testing::probeAudio(path);
    EXPECT_EQ(probed.codec, "pcm_s16le");
    EXPECT_EQ(probed.sampleRate, 48000);
    EXPECT_EQ(probed.channels, 1);
    EXPECT_EQ(probed.bitRate, 48000 * 16);
    EXPECT_EQ(testing::decodeWithFfmpeg(path).size(), 48000u);
    // Length fields: RIFF = data + 36, block align 2, bytes per second 96000.
    EXPECT_EQ(header[4] | header[5] << 8 | header[6] << 16, static_cast<int>(dataLength + 36));
    EXPECT_EQ(header[32], 2);
    EXPECT_EQ(header[28] | header[29] << 8 | header[30] << 16, 96000);
}

}  // namespace
}  // namespace tellavine::audio
