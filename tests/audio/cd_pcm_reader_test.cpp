#include "audio/cd_pcm_reader.h"

#include "audio/support/audio_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tellavine::audio {
namespace {

std::vector<std::int16_t> readAll(CdPcmReader& reader, std::size_t block = 2304) {
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> chunk(block);
    while (true) {
        const std::size_t got = reader.read(chunk);
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < chunk.size()) break;
    }
    return all;
}

TEST(CdPcmReader, BringsEveryInputTo44100HzStereoAtItsPitchAndLength) {
    testing::TempDir dir;
    struct Case {
        int rate, channels;
    };
    for (const Case c : {Case{44100, 2}, Case{44100, 1}, Case{22050, 1}, Case{48000, 2}, Case{32000, 2}}) {
        const auto path = dir.file("tone.wav");
        testing::makeToneWav(path, {c.rate, c.channels, 1.0, 1000});
        CdPcmReader reader;
        ASSERT_EQ(reader.open(path), CdPcmReader::OpenResult::Ok);
        const auto samples = readAll(reader);
        EXPECT_FALSE(reader.readFailed());
        // n input frames give n x 44100 / rate output frames.
        EXPECT_EQ(samples.size(), 2u * 44100);
        EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 0), 1000.0, 1.0) << c.rate;
        EXPECT_NEAR(testing::toneFrequency(samples, 2, 44100, 1), 1000.0, 1.0) << c.rate;
        if (c.channels == 1) {
            for (std::size_t i = 0; i < samples.size(); i += 2) ASSERT_EQ(samples[i], samples[i + 1]);
        }
    }
}

TEST(CdPcmReader, RewindGivesTheSameSamplesAgainAndBlockSizeDoesNotMatter) {
    testing::TempDir dir;
    const auto plain = dir.file("tone.wav");
    const auto listed = dir.file("listed.wav");
    testing::makeToneWav(plain, {22050, 2, 0.7, 440});
    testing::addListChunk(plain, listed);
    CdPcmReader reader;
    ASSERT_EQ(reader.open(listed), CdPcmReader::OpenResult::Ok);
    const auto first = readAll(reader);
    ASSERT_TRUE(reader.rewind());
    const auto again = readAll(reader, 1000);
    EXPECT_EQ(first, again);

    CdPcmReader plainReader;
    ASSERT_EQ(plainReader.open(plain), CdPcmReader::OpenResult::Ok);
    EXPECT_EQ(readAll(plainReader, 6), first);  // no header bytes leak into the music
}

TEST(CdPcmReader, RefusesUnsupportedAndMissingFiles) {
    testing::TempDir dir;
    const auto compressed = dir.file("adpcm.wav");
    testing::makeToneWav(compressed, {44100, 2, 0.1, 1000, 4, "ms-adpcm"});
    CdPcmReader reader;
    EXPECT_EQ(reader.open(compressed), CdPcmReader::OpenResult::Unsupported);
    EXPECT_EQ(reader.open(dir.file("missing.wav")), CdPcmReader::OpenResult::CannotOpen);
    const auto text = dir.file("text.wav");
    testing::writeFile(text, "not a wav file at all");
    EXPECT_EQ(reader.open(text), CdPcmReader::OpenResult::NotWav);
}

}  // namespace
}  // namespace tellavine::audio
