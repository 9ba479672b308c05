#include "encode/music_stage.h"

#include "encode/vcd_audio_check.h"
#include "project/messages.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

class MusicStage : public ::testing::Test {
protected:
    void SetUp() override {
        inputs.tempDir = temp.folder();
        inputs.services = prompt;
    }

    std::string logText() const { return testing::readFile(log); }
    bool tempWavLeft() const { return std::filesystem::exists(temp.file("tmpwav.~av")); }

    testing::TempDir files;  // the user's music and the results
    testing::TempDir temp;   // the build's temporary folder
    std::string log = files.file("orx_log.txt");
    BuildJob job;
    BuildInputs inputs;
    testing::RecordingServices prompt{log};
};

// What the user is told about a music file that cannot be used.
std::string unusable(const std::string& path) {
    return "The music file " + path + " cannot be encoded.\nOnly MP3 files and uncompressed (PCM) WAV files can be used.";
}

TEST_F(MusicStage, MenuMp3InAnyLetterCaseTakesTheMp3Route) {
    const auto wav = files.file("tone.wav");
    const auto mp3 = files.file("Song.MP3");
    const auto mp2 = files.file("menu.mp2");
    testing::makeToneWav(wav, {22050, 1, 2.0, 1000});
    testing::makeMp3(wav, mp3, "-b 64 -m m");
    ASSERT_TRUE(encodeMenuMusic(job, inputs, mp2, mp3));
    testing::expectVcdAudio(mp2);
    const auto samples = testing::decodeWithFfmpeg(mp2);
    EXPECT_NEAR(testing::decodedSeconds(samples), 2.0, 0.1);
    EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100), 1000.0, 2.0);
    EXPECT_FALSE(tempWavLeft());
    const auto tmp = temp.folder() + "tmpwav.~av";
    EXPECT_EQ(logText(), "\nEncoding music file " + mp3 + "\nEncoding music file " + tmp + " to mp2." +
                             "\nEncoding music file " + tmp + " to mp2 OK!." + "\nEncoding music file " + mp3 +
                             " OK!");
}

TEST_F(MusicStage, MenuWavIsEncodedWhole) {
    const auto wav = files.file("Tone.Wav");
    const auto mp2 = files.file("menu.mp2");
    testing::makeToneWav(wav, {44100, 2, 3.0, 440});
    ASSERT_TRUE(encodeMenuMusic(job, inputs, mp2, wav));
    testing::expectVcdAudio(mp2);
    EXPECT_NEAR(testing::decodedSeconds(testing::decodeWithFfmpeg(mp2)), 3.0, 0.03);
    EXPECT_EQ(logText(), "\nEncoding music file " + wav + "\nEncoding music file " + wav + " to mp2." +
                             "\nEncoding music file " + wav + " to mp2 OK!.");
}

TEST_F(MusicStage, OtherExtensionsAreRefusedWithoutALogLine) {
    const auto wav = files.file("tone.wav");
    testing::makeToneWav(wav, {44100, 2, 0.2, 440});
    for (const char* name : {"tone.wave", "tone.ogg", "tone.mp3.txt"}) {
        const auto renamed = files.file(name);
        std::filesystem::copy_file(wav, renamed);
        EXPECT_FALSE(encodeMenuMusic(job, inputs, files.file("menu.mp2"), renamed)) << name;
        EXPECT_FALSE(encodeAlbumMusic(job, inputs, files.file("album.mp2"), renamed, 10)) << name;
    }
    EXPECT_EQ(logText(), "");
    EXPECT_EQ(prompt->shown().size(), 6u);
    EXPECT_EQ(prompt->shown().back(), unusable(files.file("tone.mp3.txt")));
}

TEST_F(MusicStage, UndecodableMenuMp3LogsTheFailure) {
    const auto mp3 = files.file("broken.mp3");
    testing::writeFile(mp3, std::string(20000, 'x'));
    EXPECT_FALSE(encodeMenuMusic(job, inputs, files.file("menu.mp2"), mp3));
    EXPECT_EQ(logText(), "\nEncoding music file " + mp3 + "\nEncoding music file " + mp3 + " Failed!");
    EXPECT_FALSE(tempWavLeft());
    EXPECT_FALSE(encodeAlbumMusic(job, inputs, files.file("album.mp2"), mp3, 10));
    EXPECT_EQ(prompt->shown(), (std::vector<std::string>{unusable(mp3), unusable(mp3)}));
}

TEST_F(MusicStage, CompressedWavIsRefusedByName) {
    const auto wav = files.file("adpcm.wav");
    testing::makeToneWav(wav, {22050, 1, 0.5, 440, 4, "ms-adpcm"});
    EXPECT_FALSE(encodeAlbumMusic(job, inputs, files.file("album.mp2"), wav, 2));
    EXPECT_FALSE(encodeMenuMusic(job, inputs, files.file("menu.mp2"), wav));
    EXPECT_EQ(prompt->shown(), (std::vector<std::string>{unusable(wav), unusable(wav)}));
}

TEST_F(MusicStage, AlbumMusicCoversThePlayTimeOfItsPhotos) {
    // Six photos of four seconds over a ten-second WAV: 24 s, the WAV two and a half times.
    const auto wav = files.file("ten.wav");
    const auto mp2 = files.file("album_01.mp2");
    testing::makeToneWav(wav, {44100, 2, 10.0, 1000});
    ASSERT_TRUE(encodeAlbumMusic(job, inputs, mp2, wav, 6 * 4));
    testing::expectVcdAudio(mp2);
    const double seconds = testing::decodedSeconds(testing::decodeWithFfmpeg(mp2));
    EXPECT_GE(seconds, 24.0);
    EXPECT_LT(seconds, 24.0 + 2 * 1152.0 / 44100);

    // A short 48 kHz MP3 repeated to 8 s keeps its pitch; the temporary WAV is gone.
    const auto mp3wav = files.file("short.wav");
    const auto mp3 = files.file("short.mp3");
    testing::makeToneWav(mp3wav, {48000, 2, 3.0, 1000});
    testing::makeMp3(mp3wav, mp3, "-b 160");
    ASSERT_TRUE(encodeAlbumMusic(job, inputs, mp2, mp3, 8));
    testing::expectVcdAudio(mp2);
    const auto samples = testing::decodeWithFfmpeg(mp2);
    EXPECT_GE(testing::decodedSeconds(samples), 8.0);
    EXPECT_LT(testing::decodedSeconds(samples), 8.0 + 2 * 1152.0 / 44100);
    // Measured inside the first pass: the MP3's encoder delay makes a quiet moment at
    // each join.
    EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 0, 0.5, 2.5), 1000.0, 2.0);
    EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 1, 3.5, 5.5), 1000.0, 2.0);
    EXPECT_FALSE(tempWavLeft());
    EXPECT_EQ(logText(), "");  // album music writes no log lines
}

TEST_F(MusicStage, ACancelledBuildEncodesNothing) {
    const auto wav = files.file("tone.wav");
    testing::makeToneWav(wav, {44100, 2, 0.5, 440});
    job.cancelEvent->set();
    EXPECT_FALSE(encodeMenuMusic(job, inputs, files.file("menu.mp2"), wav));
    EXPECT_FALSE(encodeAlbumMusic(job, inputs, files.file("album.mp2"), wav, 5));
    EXPECT_FALSE(std::filesystem::exists(files.file("menu.mp2")));
    EXPECT_TRUE(prompt->shown().empty());
}

}  // namespace
}  // namespace tellavine
