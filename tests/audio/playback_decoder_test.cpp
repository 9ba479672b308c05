#include "audio/playback_decoder.h"

#include "audio/support/audio_fixtures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tellavine::audio {
namespace {

std::vector<PlaybackBlock> decodeAll(const std::string& path, std::uint64_t startBytes = 0) {
    PlaybackQueue queue;
    Event stop;
    decodeForPlayback(path, startBytes, queue, stop);
    std::vector<PlaybackBlock> blocks;
    while (auto block = queue.take()) blocks.push_back(std::move(*block));
    return blocks;
}

std::vector<PlaybackBlock::Kind> kinds(const std::vector<PlaybackBlock>& blocks) {
    std::vector<PlaybackBlock::Kind> all;
    for (const auto& block : blocks) all.push_back(block.kind);
    return all;
}

std::vector<std::int16_t> joined(const std::vector<PlaybackBlock>& blocks, std::size_t count) {
    std::vector<std::int16_t> all;
    for (std::size_t i = 0; i < count && i < blocks.size(); ++i) {
        all.insert(all.end(), blocks[i].samples.begin(), blocks[i].samples.end());
    }
    return all;
}

bool silentFrom(const PlaybackBlock& block, std::size_t firstSample) {
    for (std::size_t i = firstSample; i < block.samples.size(); ++i) {
        if (block.samples[i] != 0) return false;
    }
    return true;
}

TEST(PlaybackDecoder, ChoosesTheDecoderByTheNamesEndingInAnyLetterCase) {
    struct Case {
        const char* path;
        PlaybackFormat format;
    };
    for (const Case c : {Case{"a.mp3", PlaybackFormat::Mp3}, Case{"/m/SONG.MP3", PlaybackFormat::Mp3},
                         Case{"x.Wav", PlaybackFormat::Wav}, Case{"x.ogg", PlaybackFormat::None},
                         Case{"mp3", PlaybackFormat::None}, Case{"x.mp3.txt", PlaybackFormat::None}}) {
        EXPECT_EQ(playbackFormatOf(c.path), c.format) << c.path;
    }
}

TEST(PlaybackDecoder, CutsEveryFileIntoFullSecondsOfStereoAt44100AndAPaddedLastBlock) {
    testing::TempDir dir;
    struct Case {
        const char* name;
        int rate, channels;
        double seconds;
        std::size_t fullBlocks;
        const char* lameOptions;  // an MP3 made from the tone when set
    };
    const Case cases[] = {
        {"stereo.wav", 44100, 2, 2.5, 2, nullptr},
        {"mono22k.wav", 22050, 1, 2.5, 2, nullptr},
        {"exact.wav", 44100, 2, 2.0, 2, nullptr},
        {"TAGGED.MP3", 44100, 2, 3.0, 3, "-b 128 --pad-id3v2-size 4096 --tt Tone"},
        {"mono.mp3", 22050, 1, 3.0, 3, "-b 64"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string wav = dir.file("tone.wav");
        testing::makeToneWav(wav, {c.rate, c.channels, c.seconds, 1000});
        std::string path = dir.file(c.name);
        if (c.lameOptions) {
            testing::makeMp3(wav, path, c.lameOptions);
        } else {
            std::filesystem::rename(wav, path);
        }
        const auto blocks = decodeAll(path);
        ASSERT_GE(blocks.size(), c.fullBlocks);
        std::vector<PlaybackBlock::Kind> expected(c.fullBlocks, PlaybackBlock::FullSecond);
        // An MP3 carries the encoder's padding: up to one more full second before the last.
        if (c.lameOptions && blocks.size() == c.fullBlocks + 2) expected.push_back(PlaybackBlock::FullSecond);
        expected.push_back(PlaybackBlock::LastBlock);
        EXPECT_EQ(kinds(blocks), expected);
        for (const auto& block : blocks) ASSERT_EQ(block.samples.size() * 2, 176400u);
        // The pitch survives conversion: both channels still carry the 1000 Hz tone.
        const auto sound = joined(blocks, c.fullBlocks);
        EXPECT_NEAR(testing::toneFrequency(sound, 2, 44100, 0), 1000.0, 2.0);
        EXPECT_NEAR(testing::toneFrequency(sound, 2, 44100, 1), 1000.0, 2.0);
        if (c.channels == 1) {
            for (std::size_t i = 0; i < sound.size(); i += 2) ASSERT_EQ(sound[i], sound[i + 1]) << i;
        }
        if (!c.lameOptions) {
            const double rest = c.seconds - static_cast<double>(c.fullBlocks);
            const auto soundEnds = static_cast<std::size_t>(rest * 44100) * 2;
            EXPECT_TRUE(silentFrom(blocks.back(), soundEnds + 2 * 16));
            EXPECT_EQ(rest > 0, !silentFrom(blocks.back(), 0));
        }
    }
}

TEST(PlaybackDecoder, StartsInsideTheMusicAtTheRequestedSecond) {
    testing::TempDir dir;
    for (const char* name : {"minute.wav", "minute22k.wav"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        const int rate = std::string(name) == "minute.wav" ? 44100 : 22050;
        // A rising sweep: every second sounds different.
        const std::string command = "sox -n -r " + std::to_string(rate) + " -c 2 -b 16 " + path +
                                    " synth 60 sine 100-5000 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const auto whole = decodeAll(path);
        const auto fromHalf = decodeAll(path, 30 * 176400);
        ASSERT_EQ(whole.size(), 61u);
        ASSERT_EQ(fromHalf.size(), 31u);
        EXPECT_EQ(fromHalf.back().kind, PlaybackBlock::LastBlock);
        if (rate == 44100) {
            EXPECT_EQ(fromHalf[0].samples, whole[30].samples);
        } else {
            // Converted afresh from 30 s: the same sound, give or take the converter's start.
            int close = 0;
            for (std::size_t i = 200; i < kPlaybackBlockSamples; ++i) close += std::abs(fromHalf[0].samples[i] - whole[30].samples[i]) < 600;
            EXPECT_GT(close, static_cast<int>(kPlaybackBlockSamples) * 95 / 100);
        }
    }
}

TEST(PlaybackDecoder, UnreadableFilesGiveNoBlockAtAll) {
    testing::TempDir dir;
    const std::string junk = dir.file("junk.mp3");
    testing::writeFile(junk, std::string(5000, 'x'));
    // A-law: a compressed WAV, which nothing here decodes.
    const std::string compressed = dir.file("alaw.wav");
    const std::string samples(8000, '\xD5');
    auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const std::string format = le(6, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + format + "data" + le(8000, 4) + samples;
    testing::writeFile(compressed, "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body);
    for (const std::string& path : {junk, compressed, dir.file("missing.wav"), dir.file("tone.ogg")}) {
        EXPECT_TRUE(decodeAll(path).empty()) << path;
    }
}

TEST(PlaybackDecoder, WaitsWithAHundredBlocksQueuedAndStopReleasesItAtOnce) {
    testing::TempDir dir;
    const std::string path = dir.file("long.wav");
    testing::makeToneWav(path, {8000, 1, 130.0, 440});
    PlaybackDecoder decoder;
    decoder.start(path, 0);
    for (int i = 0; i < 400 && decoder.queued() < kMaxQueuedBlocks; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ASSERT_EQ(decoder.queued(), kMaxQueuedBlocks);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(decoder.queued(), kMaxQueuedBlocks);
    EXPECT_FALSE(decoder.finished());

    // Taking one block makes room for exactly one more.
    ASSERT_TRUE(decoder.take());
    for (int i = 0; i < 100 && decoder.queued() < kMaxQueuedBlocks; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(decoder.queued(), kMaxQueuedBlocks);

    const auto stopped = std::chrono::steady_clock::now();
    decoder.stop();
    while (!decoder.finished() && std::chrono::steady_clock::now() - stopped < std::chrono::seconds(2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(decoder.finished());
    // Stop wakes the waiting decoder (a few milliseconds); the bound leaves room for a
    // busy machine but not for a decoder that waits for room that never comes.
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::milliseconds(1000));
    EXPECT_EQ(decoder.queued(), 0u);
    EXPECT_FALSE(decoder.take());
}

}  // namespace
}  // namespace tellavine::audio

namespace tellavine::audio {
namespace {

TEST(PlaybackDecoder, ADamagedId3TagIsSkippedByItsHeaderWithoutParsingItsFrames) {
    // An ID3v2.3 tag of 0x56 bytes whose TIT2 frame claims every flag, compression
    // included, over five bytes: id3lib freed memory it never owned on this one.
    std::string tag = std::string("ID3\x03\x00\x00\x00\x00\x00\x56", 10);
    tag += std::string("TIT2\x00\x00\x00\x05\xf8\xff\x01\xff\xfe\x00\x00", 15);
    tag.resize(10 + 0x56, '\0');
    testing::TempDir dir;
    const std::string wav = dir.file("tone.wav");
    testing::makeToneWav(wav, {44100, 2, 1.0, 1000});
    const std::string plain = dir.file("plain.mp3");
    testing::makeMp3(wav, plain, "-b 128");
    const std::string tagged = dir.file("tagged.mp3");
    testing::writeFile(tagged, tag + testing::readFile(plain));
    EXPECT_EQ(decodeAll(tagged).size(), decodeAll(plain).size());
}

}  // namespace
}  // namespace tellavine::audio
