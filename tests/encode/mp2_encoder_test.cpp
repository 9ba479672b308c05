#include "encode/mp2_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tellavine {
namespace {

// A stream opened with `config`, closed at the end of the test.
struct OpenStream {
    explicit OpenStream(const BeConfig& config) { result = beInitStream(config, chunk, bufferSize, stream); }
    ~OpenStream() {
        if (stream) beCloseStream(stream);
    }
    BeResult result = BE_ERR_SUCCESSFUL;
    std::uint32_t chunk = 0;
    std::uint32_t bufferSize = 0;
    BeStream stream = nullptr;
};

std::vector<std::int16_t> tone(std::size_t values) {
    std::vector<std::int16_t> samples(values);
    for (std::size_t i = 0; i < values; ++i) samples[i] = static_cast<std::int16_t>(8000 * std::sin(i * 0.07));
    return samples;
}

TEST(Mp2Encoder, VcdStreamHasOneFrameAChunkAtExactlyTheNominalRate) {
    OpenStream open{BeConfig{}};
    ASSERT_EQ(open.result, BE_ERR_SUCCESSFUL);
    EXPECT_EQ(open.chunk, 1152u * 2);
    ASSERT_GE(open.bufferSize, 732u);

    const auto samples = tone(open.chunk);
    std::vector<std::uint8_t> output(open.bufferSize);
    std::vector<std::uint8_t> stream;
    const int chunks = 441;  // 441 x 1152 samples = 11.52 s
    for (int i = 0; i < chunks; ++i) {
        std::uint32_t produced = 0;
        ASSERT_EQ(beEncodeChunk(open.stream, open.chunk, samples.data(), output.data(), produced), BE_ERR_SUCCESSFUL);
        ASSERT_LE(produced, open.bufferSize);
        EXPECT_TRUE(produced == 0 || produced == 731 || produced == 732) << produced;
        stream.insert(stream.end(), output.begin(), output.begin() + produced);
    }
    std::uint32_t flushed = 0;
    ASSERT_EQ(beDeinitStream(open.stream, output.data(), flushed), BE_ERR_SUCCESSFUL);
    stream.insert(stream.end(), output.begin(), output.begin() + flushed);

    // 224 kbit/s over 441 frames of 1152 samples at 44100 Hz is 322560 bytes: padding
    // keeps the average exact.
    EXPECT_EQ(stream.size(), 322560u);
    ASSERT_GE(stream.size(), 4u);
    EXPECT_EQ(stream[0], 0xFF);
    EXPECT_EQ(stream[1], 0xFD);
    EXPECT_EQ(stream[2] & 0xFC, 0xB0);
    EXPECT_EQ(stream[3], 0x00);  // stereo, no copyright, copy, no emphasis
}

TEST(Mp2Encoder, ShortAndEmptyLastPiecesAreCompletedByTheFlush) {
    OpenStream open{BeConfig{}};
    ASSERT_EQ(open.result, BE_ERR_SUCCESSFUL);
    std::vector<std::uint8_t> output(open.bufferSize);
    const auto samples = tone(1000);
    std::uint32_t produced = 99;
    ASSERT_EQ(beEncodeChunk(open.stream, 1000, samples.data(), output.data(), produced), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(produced, 0u);
    ASSERT_EQ(beEncodeChunk(open.stream, 0, samples.data(), output.data(), produced), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(produced, 0u);
    ASSERT_EQ(beDeinitStream(open.stream, output.data(), produced), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(produced, 731u);  // one frame of 500 samples and silence
}

TEST(Mp2Encoder, HeaderFlagsFollowTheConfiguration) {
    BeConfig config;
    config.crc = true;
    config.copyright = true;
    config.original = true;
    config.privateFlag = true;
    config.sampleRate = 48000;
    config.bitrateKbps = 192;
    OpenStream open{config};
    ASSERT_EQ(open.result, BE_ERR_SUCCESSFUL);
    std::vector<std::uint8_t> output(open.bufferSize);
    const auto samples = tone(open.chunk);
    std::uint32_t produced = 0;
    ASSERT_EQ(beEncodeChunk(open.stream, open.chunk, samples.data(), output.data(), produced), BE_ERR_SUCCESSFUL);
    ASSERT_EQ(produced, 576u);  // 144 x 192000 / 48000
    EXPECT_EQ(output[1], 0xFC);         // CRC present
    EXPECT_EQ(output[2], 0xA5);         // 192 kbit/s, 48000 Hz, no padding, private bit
    EXPECT_EQ(output[3] & 0x0C, 0x0C);  // copyright, original
}

TEST(Mp2Encoder, RefusesWhatItCannotEncode) {
    BeConfig otherKind;
    otherKind.configKind = 1;
    EXPECT_EQ(OpenStream{otherKind}.result, BE_ERR_INVALID_FORMAT);
    BeConfig lowRate;
    lowRate.sampleRate = 22050;  // not an MPEG-1 rate
    EXPECT_EQ(OpenStream{lowRate}.result, BE_ERR_INVALID_FORMAT_PARAMETERS);
    BeConfig badBitrate;
    badBitrate.bitrateKbps = 225;
    EXPECT_EQ(OpenStream{badBitrate}.result, BE_ERR_INVALID_FORMAT_PARAMETERS);

    OpenStream open{BeConfig{}};
    ASSERT_EQ(open.result, BE_ERR_SUCCESSFUL);
    std::vector<std::uint8_t> output(open.bufferSize);
    const auto samples = tone(open.chunk + 2);
    std::uint32_t produced = 0;
    EXPECT_EQ(beEncodeChunk(open.stream, 3, samples.data(), output.data(), produced),
              BE_ERR_INVALID_FORMAT_PARAMETERS);  // half a stereo sample
    EXPECT_EQ(beEncodeChunk(open.stream, open.chunk + 2, samples.data(), output.data(), produced),
              BE_ERR_INVALID_FORMAT_PARAMETERS);  // more than the output buffer is sized for
    EXPECT_EQ(beEncodeChunk(nullptr, 2, samples.data(), output.data(), produced), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(beDeinitStream(nullptr, output.data(), produced), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(beCloseStream(nullptr), BE_ERR_INVALID_HANDLE);
}

}  // namespace
}  // namespace tellavine
