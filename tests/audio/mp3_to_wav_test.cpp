#include "audio/mp3_to_wav.h"

#include "audio/file_handle.h"
#include "audio/mpeg_audio_header.h"
#include "audio/support/audio_fixtures.h"
#include "support/child_process.h"
#include "audio/wav_format.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine::audio {
namespace {

struct Mp3Case {
    const char* name;
    int rate;
    int channels;
    const char* lameOptions;
};

TEST(DecodeMp3ToWav, DecodesEveryVersionAndModeAtItsRateAndPitch) {
    testing::TempDir dir;
    const Mp3Case cases[] = {
        {"mpeg1-44k-stereo", 44100, 2, "-b 192"},
        {"mpeg1-48k-mono", 48000, 1, "-b 96 -m m"},
        {"mpeg2-22k-stereo", 22050, 2, "-b 64"},
        // VBR with a Xing frame behind a 4 KB ID3v2 tag.
        {"mpeg1-44k-xing-id3", 44100, 2, "-V 2 --pad-id3v2-size 4096 --tt Tone"},
        {"mpeg2-24k-mono-xing", 24000, 1, "-V 5 -m m"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto wav = dir.file(std::string(c.name) + ".wav");
        const auto mp3 = dir.file(std::string(c.name) + ".mp3");
        const auto decoded = dir.file(std::string(c.name) + ".out.wav");
        testing::makeToneWav(wav, {c.rate, c.channels, 2.0, 1000});
        testing::makeMp3(wav, mp3, c.lameOptions);
        ASSERT_TRUE(decodeMp3ToWav(mp3, decoded));

        const auto probed = testing::probeAudio(decoded);
        EXPECT_EQ(probed.codec, "pcm_s16le");
        EXPECT_EQ(probed.sampleRate, c.rate);
        EXPECT_EQ(probed.channels, c.channels);
        const auto samples = testing::decodeWithFfmpeg(decoded);
        // Two seconds plus the encoder's delay and padding (under three frames).
        const double seconds = static_cast<double>(samples.size()) / c.channels / c.rate;
        EXPECT_GE(seconds, 2.0);
        EXPECT_LT(seconds, 2.0 + 3 * 1152.0 / c.rate);
        EXPECT_NEAR(testing::toneFrequency(samples, c.channels, c.rate), 1000.0, 2.0);

        // The length fields describe exactly the samples written.
        const auto bytes = testing::fileBytes(decoded);
        ASSERT_GT(bytes.size(), 44u);
        const auto dataLength = static_cast<std::uint32_t>(bytes[40] | bytes[41] << 8 | bytes[42] << 16 | bytes[43] << 24);
        const auto riffLength = static_cast<std::uint32_t>(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24);
        EXPECT_EQ(dataLength, bytes.size() - 44);
        EXPECT_EQ(riffLength, dataLength + 36);
        EXPECT_EQ(samples.size() * 2, dataLength);
    }
}

TEST(DecodeMp3ToWav, StartsAtTheFirstAudioFrameNotTheXingFrame) {
    testing::TempDir dir;
    const auto wav = dir.file("tone.wav");
    const auto vbr = dir.file("vbr.mp3");
    testing::makeToneWav(wav, {44100, 2, 1.0, 1000});
    testing::makeMp3(wav, vbr, "-V 2 --pad-id3v2-size 4096 --tt Tone");
    // The same frames without tag and Xing frame must decode to the same samples.
    const auto bytes = testing::fileBytes(vbr);
    const auto withTag = dir.file("with.wav");
    ASSERT_TRUE(decodeMp3ToWav(vbr, withTag));

    std::size_t tagEnd = 10 + ((bytes[6] << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9]);
    ASSERT_GE(tagEnd, 4096u);
    const auto xing = parseMpegAudioHeader(std::span<const std::uint8_t>(bytes).subspan(tagEnd));
    ASSERT_TRUE(xing);
    ASSERT_TRUE(isXingFrame(*xing, std::span<const std::uint8_t>(bytes).subspan(tagEnd)));
    const auto bare = dir.file("bare.mp3");
    testing::writeFile(bare, std::string(bytes.begin() + static_cast<std::ptrdiff_t>(tagEnd + xing->frameLength), bytes.end()));
    const auto withoutTag = dir.file("without.wav");
    ASSERT_TRUE(decodeMp3ToWav(bare, withoutTag));
    EXPECT_EQ(testing::fileBytes(withTag), testing::fileBytes(withoutTag));
}

TEST(DecodeMp3ToWav, FailsCleanlyOnWhatItCannotDecodeOrWrite) {
    testing::TempDir dir;
    const auto wav = dir.file("tone.wav");
    testing::makeToneWav(wav, {44100, 2, 1.0, 1000});
    const auto mp3 = dir.file("tone.mp3");
    testing::makeMp3(wav, mp3, "-b 128");

    EXPECT_FALSE(decodeMp3ToWav(dir.file("missing.mp3"), dir.file("a.wav")));
    EXPECT_FALSE(decodeMp3ToWav(wav, dir.file("b.wav")));  // a WAV named as MP3: no Layer III frame
    const auto mp2 = dir.file("layer2.mp3");
    ASSERT_TRUE(testing::runShell("ffmpeg -v error -y -i " + wav + " -c:a mp2 -f mp2 " + mp2).succeeded());
    EXPECT_FALSE(decodeMp3ToWav(mp2, dir.file("c.wav")));  // Layer II is not the MP3 route
    EXPECT_FALSE(decodeMp3ToWav(mp3, dir.file("no-such-folder/d.wav")));
    // A full disk: the decoded samples cannot be written, which is a failure.
    EXPECT_FALSE(decodeMp3ToWav(mp3, "/dev/full"));

    // Damaged frames in the middle are skipped; the rest still decodes.
    auto bytes = testing::fileBytes(mp3);
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 3000; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    const auto damaged = dir.file("damaged.mp3");
    testing::writeFile(damaged, std::string(bytes.begin(), bytes.end()));
    const auto out = dir.file("damaged.wav");
    ASSERT_TRUE(decodeMp3ToWav(damaged, out));
    EXPECT_GT(std::filesystem::file_size(out), 44u + 176400u / 2);
}

TEST(DecodeMp3ToWav, CreatesTheWavForItsOwnerOnly) {
    testing::TempDir dir;
    const auto wav = dir.file("tone.wav");
    testing::makeToneWav(wav, {44100, 1, 0.3, 1000});
    const auto mp3 = dir.file("tone.mp3");
    testing::makeMp3(wav, mp3, "-b 64 -m m");
    const auto out = dir.file("out.wav");
    ASSERT_TRUE(decodeMp3ToWav(mp3, out));
    const auto perms = std::filesystem::status(out).permissions();
    EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
}

}  // namespace
}  // namespace tellavine::audio
