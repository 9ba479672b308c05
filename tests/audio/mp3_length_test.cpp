#include "audio/mp3_length.h"

#include "audio/support/audio_fixtures.h"
#include "support/child_process.h"
#include "project/model.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tellavine::audio {
namespace {

// `count` frames with the given header and silent bodies.
std::string frames(std::initializer_list<std::uint8_t> header, std::size_t frameLength, int count) {
    std::string frame(frameLength, '\0');
    std::copy(header.begin(), header.end(), frame.begin());
    std::string all;
    for (int i = 0; i < count; ++i) all += frame;
    return all;
}

TEST(MeasureMp3Length, CountsFramesAndRoundsUpToWholeSeconds) {
    testing::TempDir dir;
    // 1000 MPEG-1 stereo 44.1 kHz frames: 1152 x 1000 x 4 bytes (26.1 s) -> 27 seconds.
    const auto mpeg1 = dir.file("mpeg1.mp3");
    testing::writeFile(mpeg1, frames({0xFF, 0xFB, 0x90, 0x40}, 417, 1000));
    EXPECT_EQ(measureMp3Length(mpeg1), 27 * 176400);

    // Junk before the first frame and between frames is skipped; an ID3v1 tag at the end
    // and a cut-off last frame do not count.
    const auto junk = dir.file("junk.mp3");
    const auto body = frames({0xFF, 0xFB, 0x90, 0x40}, 417, 500);
    testing::writeFile(junk, std::string(3000, 'j') + body + std::string(100, '\xFF') + body +
                                 "TAG" + std::string(125, ' ') + body.substr(0, 200));
    EXPECT_EQ(measureMp3Length(junk), 27 * 176400);

    // MPEG-2 mono 22.05 kHz: 576 samples a frame, doubled for mono and for the rate.
    // 800 frames = 800 x 576 / 22050 s = 20.9 s -> 21 s.
    const auto lsf = dir.file("lsf.mp3");
    testing::writeFile(lsf, frames({0xFF, 0xF3, 0x80, 0xC0}, 208, 800));
    EXPECT_EQ(measureMp3Length(lsf), 21 * 176400);
}

TEST(MeasureMp3Length, AgreesWithAnIndependentReaderOnLameFiles) {
    testing::TempDir dir;
    const auto wav = dir.file("tone.wav");
    testing::makeToneWav(wav, {48000, 1, 3.3, 440});
    // A 4 KB ID3v2 tag holds bytes that look like frame syncs: id3lib's size skips it.
    const auto mp3 = dir.file("tagged.mp3");
    testing::makeMp3(wav, mp3, "-V 4 --pad-id3v2-size 4096 --tt Title");
    const auto length = measureMp3Length(mp3);
    ASSERT_TRUE(length);
    const double seconds = std::atof(testing::shellOutput("ffprobe -v error -show_entries format=duration -of csv=p=0 " + mp3).c_str());
    EXPECT_EQ(*length % 176400, 0);
    EXPECT_GE(*length / 176400.0, seconds);
    EXPECT_LT(*length / 176400.0, seconds + 1.0);
}

TEST(MeasureMp3Length, FailsWithoutFrames) {
    testing::TempDir dir;
    EXPECT_FALSE(measureMp3Length(dir.file("missing.mp3")));
    const auto text = dir.file("text.mp3");
    testing::writeFile(text, std::string(500000, 'x') + frames({0xFF, 0xFB, 0x90, 0x40}, 417, 10));
    EXPECT_FALSE(measureMp3Length(text));  // more than 409600 bytes of junk before any frame
    const auto empty = dir.file("empty.mp3");
    testing::writeFile(empty, "");
    EXPECT_FALSE(measureMp3Length(empty));
}

TEST(MeasureMp3Length, IsTheProjectsMusicLengthQuery) {
    testing::TempDir dir;
    const auto mp3 = dir.file("Song.MP3");
    testing::writeFile(mp3, frames({0xFF, 0xFB, 0x90, 0x40}, 417, 1000));
    Project project;
    project.setMusicLengthQuery(measureMp3Length);
    const int album = project.addAlbum("Holiday");
    ASSERT_GE(album, 0);
    ASSERT_TRUE(project.setAlbumProperties(album, "Holiday", 5, mp3));
    EXPECT_EQ(project.album(album).musicLength, 27 * 176400);
}

}  // namespace
}  // namespace tellavine::audio
