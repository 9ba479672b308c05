#include "audio/mpeg_audio_header.h"

#include "audio/support/audio_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>

namespace tellavine::audio {
namespace {

using Bytes = std::array<std::uint8_t, 4>;

TEST(MpegAudioHeader, FrameLengthsOfEveryLayerAndVersion) {
    struct Case {
        Bytes header;
        MpegVersion version;
        int layer, bitrate, rate, channels;
        std::size_t length;
        int samples;
    };
    const Case cases[] = {
        // MPEG-1 Layer III 128 kbit/s 44.1 kHz joint stereo, unpadded and padded.
        {{0xFF, 0xFB, 0x90, 0x40}, MpegVersion::Mpeg1, 3, 128, 44100, 2, 417, 1152},
        {{0xFF, 0xFB, 0x92, 0x40}, MpegVersion::Mpeg1, 3, 128, 44100, 2, 418, 1152},
        // MPEG-1 Layer II 224 kbit/s 44.1 kHz stereo: the Video CD audio frame.
        {{0xFF, 0xFD, 0xB0, 0x00}, MpegVersion::Mpeg1, 2, 224, 44100, 2, 731, 1152},
        // MPEG-2 Layer III 64 kbit/s 22.05 kHz mono: half-size frames.
        {{0xFF, 0xF3, 0x80, 0xC0}, MpegVersion::Mpeg2, 3, 64, 22050, 1, 208, 576},
        // MPEG-2.5 Layer III 8 kbit/s 8 kHz.
        {{0xFF, 0xE3, 0x18, 0xC0}, MpegVersion::Mpeg25, 3, 8, 8000, 1, 72, 576},
        // MPEG-1 Layer I 384 kbit/s 48 kHz: four-byte slots.
        {{0xFF, 0xFF, 0xC4, 0x00}, MpegVersion::Mpeg1, 1, 384, 48000, 2, 384, 384},
    };
    for (const auto& c : cases) {
        const auto header = parseMpegAudioHeader(c.header);
        ASSERT_TRUE(header) << int(c.header[1]) << " " << int(c.header[2]);
        EXPECT_EQ(header->version, c.version);
        EXPECT_EQ(header->layer, c.layer);
        EXPECT_EQ(header->bitrateKbps, c.bitrate);
        EXPECT_EQ(header->sampleRate, c.rate);
        EXPECT_EQ(header->channels(), c.channels);
        EXPECT_EQ(header->frameLength, c.length);
        EXPECT_EQ(header->samplesPerFrame(), c.samples);
    }
}

TEST(MpegAudioHeader, RefusesReservedAndUnusableFields) {
    const Bytes refused[] = {
        {0xFF, 0xEB, 0x90, 0x40},  // reserved version
        {0xFF, 0xF9, 0x90, 0x40},  // reserved layer
        {0xFF, 0xFB, 0x00, 0x40},  // free format: no frame length
        {0xFF, 0xFB, 0xF0, 0x40},  // bad bitrate index
        {0xFF, 0xFB, 0x9C, 0x40},  // reserved sample rate
        {0xFF, 0xFB, 0x90, 0x42},  // reserved emphasis
        {0xFE, 0xFB, 0x90, 0x40},  // no sync
    };
    for (const auto& bytes : refused) EXPECT_FALSE(parseMpegAudioHeader(bytes));
    EXPECT_FALSE(parseMpegAudioHeader(std::span<const std::uint8_t>(refused[0]).first(3)));
}

TEST(MpegAudioHeader, FindsTheXingFrameLameWritesBeforeVbrAudio) {
    testing::TempDir dir;
    const auto wav = dir.file("tone.wav");
    testing::makeToneWav(wav, {44100, 2, 0.5, 440});
    for (const auto& [name, options] : {std::pair{"stereo.mp3", "-V 4"}, std::pair{"mono.mp3", "-V 4 -m m"},
                                        std::pair{"lsf.mp3", "-V 4 --resample 22.05 -m m"}}) {
        const auto mp3 = dir.file(name);
        testing::makeMp3(wav, mp3, options);
        const auto bytes = testing::fileBytes(mp3);
        const auto first = parseMpegAudioHeader(bytes);
        ASSERT_TRUE(first) << name;
        EXPECT_TRUE(isXingFrame(*first, bytes)) << name;
        const auto rest = std::span<const std::uint8_t>(bytes).subspan(first->frameLength);
        const auto second = parseMpegAudioHeader(rest);
        ASSERT_TRUE(second) << name;
        EXPECT_FALSE(isXingFrame(*second, rest)) << name;
    }
}

}  // namespace
}  // namespace tellavine::audio
