#include "encode/audio_prep.h"

#include "audio/wav_format.h"
#include "encode/vcd_audio_check.h"
#include "project/messages.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

constexpr double kChunkSeconds = 1152.0 / 44100;

// Every rate, channel count and sample encoding an audio editor saves, made by sox (and
// by ffmpeg, whose float and 24-bit files carry WAVE_FORMAT_EXTENSIBLE headers and a LIST
// chunk): VCD audio of the same length, pitch and loudness.
TEST(EncodeWavToMp2, AnyPcmWavBecomesVcdAudioAtItsPitchAndLength) {
    testing::TempDir dir;
    struct Case {
        int rate, channels, bits;
        std::string soxEncoding;
        std::string ffmpegRewrite;  // codec ffmpeg rewrites the file with, or empty
    };
    const Case cases[] = {
        {44100, 2, 16, "", ""},
        {22050, 1, 16, "", ""},
        {48000, 2, 16, "", "pcm_s16le"},
        {32000, 1, 16, "", "pcm_s16le"},
        {44100, 2, 24, "", ""},
        {48000, 2, 24, "", ""},
        {96000, 2, 24, "", "pcm_s24le"},
        {44100, 2, 32, "", ""},
        {44100, 2, 32, "floating-point", ""},
        {22050, 1, 32, "floating-point", ""},
        {48000, 2, 32, "floating-point", "pcm_f32le"},
        {44100, 2, 64, "floating-point", ""},
        {44100, 1, 8, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channels, " +
                     std::to_string(c.bits) + " bits " + c.soxEncoding + " " + c.ffmpegRewrite);
        const auto wav = dir.file("tone.wav");
        const auto input = c.ffmpegRewrite.empty() ? wav : dir.file("rewritten.wav");
        const auto mp2 = dir.file("tone.mp2");
        testing::makeToneWav(wav, {c.rate, c.channels, 1.5, 1000, c.bits, c.soxEncoding});
        if (!c.ffmpegRewrite.empty()) {
            ASSERT_TRUE(testing::runShell("ffmpeg -v error -y -i " + testing::shellQuoted(wav) + " -metadata title=Tone -c:a " +
                                          c.ffmpegRewrite + " " + testing::shellQuoted(input))
                            .succeeded());
        }
        ASSERT_TRUE(encodeWavToMp2(input, mp2));
        testing::expectVcdAudio(mp2);
        const auto samples = testing::decodeWithFfmpeg(mp2);
        EXPECT_GE(testing::decodedSeconds(samples), 1.5);
        EXPECT_LT(testing::decodedSeconds(samples), 1.5 + kChunkSeconds);
        EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 0), 1000.0, 2.0);
        EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 1), 1000.0, 2.0);
        // Half of full scale ("vol 0.5"), as RMS: 16384 / sqrt(2).
        EXPECT_NEAR(testing::quietestHalfSecond(samples), 11585.0, 600.0);
    }
}

TEST(EncodeWavToMp2, WholeChunksEncodeToExactlyThatManyFrames) {
    testing::TempDir dir;
    const auto wav = dir.file("exact.wav");
    const auto mp2 = dir.file("exact.mp2");
    testing::makeToneWav(wav, {44100, 2, 10 * 1152 / 44100.0, 1000});
    ASSERT_EQ(std::filesystem::file_size(wav), 44u + 10 * 1152 * 4);
    ASSERT_TRUE(encodeWavToMp2(wav, mp2));
    EXPECT_EQ(testing::decodeWithFfmpeg(mp2).size(), 10u * 1152 * 2);
}

TEST(EncodeWavToMp2Looped, RepeatsAndCutsAtTheFirstChunkPastTheLength) {
    testing::TempDir dir;
    struct Case {
        double sourceSeconds;
        int rate, channels;
        int seconds;
    };
    // 20 s from 7 s (three passes, the last one cut), 5 s from 60 s (cut in the first
    // pass), 24 s from 10 s (two and a half passes).
    for (const Case c : {Case{7, 44100, 2, 20}, Case{60, 22050, 1, 5}, Case{10, 48000, 2, 24}}) {
        SCOPED_TRACE(std::to_string(c.seconds) + " s from " + std::to_string(c.sourceSeconds));
        const auto wav = dir.file("music.wav");
        const auto mp2 = dir.file("music.mp2");
        testing::makeToneWav(wav, {c.rate, c.channels, c.sourceSeconds, 1000});
        ASSERT_TRUE(encodeWavToMp2Looped(wav, mp2, c.seconds));
        testing::expectVcdAudio(mp2);
        const auto samples = testing::decodeWithFfmpeg(mp2);
        // Encoded: at least the length and less than one chunk more; the flush rounds up
        // to a whole frame, which is one chunk.
        EXPECT_GE(testing::decodedSeconds(samples), c.seconds);
        EXPECT_LT(testing::decodedSeconds(samples), c.seconds + 2 * kChunkSeconds);
        EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100), 1000.0, 2.0);
        EXPECT_GT(testing::quietestHalfSecond(samples), 3000.0);  // no silent gap at the joins
    }
}

TEST(EncodeWavToMp2Looped, AWavWithoutSamplesFailsInsteadOfLooping) {
    testing::TempDir dir;
    const auto empty = dir.file("empty.wav");
    const auto header = audio::canonicalWavHeader(2, 44100, 16, 0);
    testing::writeFile(empty, std::string(header.begin(), header.end()));
    EXPECT_FALSE(encodeWavToMp2Looped(empty, dir.file("a.mp2"), 10));
    EXPECT_FALSE(encodeWavToMp2Looped(empty, dir.file("b.mp2"), 0));
    // Three bytes: less than one stereo sample.
    testing::writeFile(empty, std::string(header.begin(), header.end()) + "abc");
    EXPECT_FALSE(encodeWavToMp2Looped(empty, dir.file("c.mp2"), 10));
}

TEST(EncodeWavToMp2, RefusalsLeaveAnEmptyMp2AndOnlyTheFirstLogLine) {
    testing::TempDir dir;
    const auto log = dir.file("log.txt");
    const EngineServices services = testing::RecordingServices(log);
    const auto compressed = dir.file("adpcm.wav");
    testing::makeToneWav(compressed, {44100, 2, 0.2, 1000, 4, "ms-adpcm"});
    const auto mp2 = dir.file("out.mp2");
    EXPECT_FALSE(encodeWavToMp2(compressed, mp2, services));
    ASSERT_TRUE(std::filesystem::exists(mp2));
    EXPECT_EQ(std::filesystem::file_size(mp2), 0u);
    EXPECT_FALSE(encodeWavToMp2Looped(compressed, mp2, 5));
    EXPECT_EQ(std::filesystem::file_size(mp2), 0u);
    EXPECT_EQ(testing::readFile(log), "\nEncoding music file " + compressed + " to mp2.");

    const auto good = dir.file("good.wav");
    testing::makeToneWav(good, {44100, 2, 0.2, 1000});
    EXPECT_FALSE(encodeWavToMp2(good, "/dev/full", services));  // the disk is full
    EXPECT_FALSE(encodeWavToMp2Looped(good, "/dev/full", 5));
    EXPECT_FALSE(encodeWavToMp2(good, dir.file("missing-folder/out.mp2"), services));
    EXPECT_FALSE(encodeWavToMp2(dir.file("missing.wav"), mp2, services));

    testing::writeFile(log, "");
    ASSERT_TRUE(encodeWavToMp2(good, mp2, services));
    EXPECT_EQ(testing::readFile(log),
              "\nEncoding music file " + good + " to mp2.\nEncoding music file " + good + " to mp2 OK!.");
}

}  // namespace
}  // namespace tellavine
