// Stills multiplexing against the real mjpegtools multiplexer in the worker process;
// the results are read back with our own pack reader and with ffprobe.

#include "encode/multiplexer.h"

#include "encode/still_encoder.h"
#include "program_stream_reader.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tellavine {
namespace {

using testing::makePicture;
using testing::readBytes;

constexpr int kNormalStream = 0xE1;
constexpr int kHighStream = 0xE2;
constexpr int kAudioStream = 0xC0;

class MultiplexerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stills_ = new testing::TempDir;
        MpegWorkerClient worker(testing::realWorkerOptions());
        for (int seed = 0; seed < 4; ++seed) {
            const auto write = seed == 0 ? StillWrite::Create : StillWrite::Append;
            const auto high = makePicture(704, 576, seed);
            const auto normal = makePicture(352, 288, seed);
            ASSERT_TRUE(encodeStill(high.view(), stills_->file("high4.m1v"), TvStandard::PAL, write, worker));
            ASSERT_TRUE(encodeStill(normal.view(), stills_->file("normal4.m1v"), TvStandard::PAL, write, worker));
            if (seed == 0) {
                ASSERT_TRUE(encodeStill(high.view(), stills_->file("high.m1v"), TvStandard::PAL, write, worker));
                ASSERT_TRUE(encodeStill(normal.view(), stills_->file("normal.m1v"), TvStandard::PAL, write, worker));
            }
        }
        testing::makeMp2(stills_->file("music20.mp2"), 20.0);
    }
    static void TearDownTestSuite() {
        delete stills_;
        stills_ = nullptr;
    }
    static std::string still(const std::string& name) { return stills_->file(name); }

    static testing::TempDir* stills_;
    testing::TempDir dir;
    MpegWorkerClient worker{testing::realWorkerOptions()};
};
testing::TempDir* MultiplexerTest::stills_ = nullptr;

std::vector<std::uint64_t> relativeTimes(const std::vector<std::uint64_t>& times) {
    std::vector<std::uint64_t> relative;
    for (const auto time : times) relative.push_back(time - times.front());
    return relative;
}

TEST_F(MultiplexerTest, PairHoldsBothStillsShownTogether) {
    for (const bool highFirst : {true, false}) {
        const auto output = dir.file(highFirst ? "pair_hl.mpg" : "pair_lh.mpg");
        const auto first = still(highFirst ? "high.m1v" : "normal.m1v");
        const auto second = still(highFirst ? "normal.m1v" : "high.m1v");
        ASSERT_TRUE(multiplexStillPair(output, first, second, worker));

        const auto stream = testing::readProgramStream(readBytes(output));
        ASSERT_TRUE(stream.wellFormed) << stream.error;
        EXPECT_EQ(stream.payloads.at(kHighStream), readBytes(still("high.m1v")));
        EXPECT_EQ(stream.payloads.at(kNormalStream), readBytes(still("normal.m1v")));
        EXPECT_EQ(stream.payloads.count(kAudioStream), 0u);
        ASSERT_FALSE(stream.presentationTimes.at(kHighStream).empty());
        EXPECT_EQ(stream.presentationTimes.at(kHighStream).front(), stream.presentationTimes.at(kNormalStream).front());
        // VCD sectors: 2324-byte packs.
        EXPECT_EQ(std::filesystem::file_size(output) % 2324, 0u);
    }
}

TEST_F(MultiplexerTest, SequenceOverMusicPresentsStillsAtTheirTimes) {
    const auto output = dir.file("album.mpg");
    StillSequenceOptions options;
    options.secondsPerStill = 5;
    options.displayName = "Holiday";
    ASSERT_TRUE(multiplexStillSequence(output, {still("music20.mp2"), still("normal4.m1v"), still("high4.m1v")}, options,
                                       worker));

    const auto stream = testing::readProgramStream(readBytes(output));
    ASSERT_TRUE(stream.wellFormed) << stream.error;
    const std::vector<std::uint64_t> expected{0, 450000, 900000, 1350000};
    EXPECT_EQ(relativeTimes(stream.presentationTimes.at(kHighStream)), expected);
    EXPECT_EQ(relativeTimes(stream.presentationTimes.at(kNormalStream)), expected);
    EXPECT_EQ(stream.presentationTimes.at(kHighStream), stream.presentationTimes.at(kNormalStream));
    EXPECT_EQ(stream.payloads.at(kAudioStream), readBytes(still("music20.mp2")));
    EXPECT_EQ(stream.payloads.at(kHighStream), readBytes(still("high4.m1v")));

    // An independent reader agrees: four pictures per stream, 5 s apart, 20 s of audio.
    const auto times = testing::shellOutput(
        "ffprobe -v error -select_streams v:0 -show_entries frame=pts_time -of csv=p=0 '" + output + "'");
    std::vector<double> seconds;
    std::istringstream lines(times);
    for (std::string line; lines >> line;)
        if (line.find_first_of("0123456789") == 0) seconds.push_back(std::stod(line));
    ASSERT_EQ(seconds.size(), 4u) << times;
    for (std::size_t k = 0; k < seconds.size(); ++k) EXPECT_NEAR(seconds[k] - seconds[0], 5.0 * k, 1e-3);
    const auto audio = testing::shellOutput("ffprobe -v error -select_streams a:0 -show_entries stream=duration "
                                           "-of csv=p=0 '" + output + "'");
    EXPECT_NEAR(std::stod(audio), 20.0, 0.05) << audio;
}

TEST_F(MultiplexerTest, MenuPagesMultiplexWithAndWithoutMusic) {
    StillSequenceOptions options;  // 4 s per still
    ASSERT_TRUE(multiplexStillSequence(dir.file("menu_01.mpg"), {still("high.m1v"), still("normal.m1v")}, options, worker));
    auto stream = testing::readProgramStream(readBytes(dir.file("menu_01.mpg")));
    ASSERT_TRUE(stream.wellFormed) << stream.error;
    EXPECT_EQ(stream.payloads.count(kAudioStream), 0u);

    ASSERT_TRUE(multiplexStillSequence(dir.file("menu_02.mpg"),
                                       {still("high.m1v"), still("normal.m1v"), still("music20.mp2")}, options, worker));
    stream = testing::readProgramStream(readBytes(dir.file("menu_02.mpg")));
    ASSERT_TRUE(stream.wellFormed) << stream.error;
    EXPECT_EQ(stream.payloads.at(kAudioStream), readBytes(still("music20.mp2")));
}

TEST_F(MultiplexerTest, RefusedInputsGiveTheMultiplexerMessages) {
    const auto missing = dir.file("temp_x.npal");
    auto result = multiplexStillPair(dir.file("a.mpg"), still("high.m1v"), missing, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Unable to open file " + missing + " for reading.\n");

    result = multiplexStillPair(dir.file("b.mpg"), still("high.m1v"), still("high4.m1v"), worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "VCD mixed stills stream cannot contain two streams of the same type!\n");

    testing::writeFile(dir.file("notes.txt"), "not an MPEG stream");
    result = multiplexStillSequence(dir.file("c.mpg"), {still("high.m1v"), dir.file("notes.txt"), still("normal.m1v")},
                                    {}, worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Unrecogniseable file(s)... exiting.\n");

    testing::writeFile(dir.file("empty.m1v"), "");
    result = multiplexStillPair(dir.file("d.mpg"), still("high.m1v"), dir.file("empty.m1v"), worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Unable to read from file " + dir.file("empty.m1v") + ".\n");

    const auto unwritable = dir.file("no-folder/e.mpg");
    result = multiplexStillPair(unwritable, still("high.m1v"), still("normal.m1v"), worker);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "Could not open for writing: " + unwritable + "\n");

    EXPECT_TRUE(multiplexStillPair(dir.file("f.mpg"), still("high.m1v"), still("normal.m1v"), worker));
}

TEST_F(MultiplexerTest, DamagedMusicIsRefusedBeforeItReachesTheLibrary) {
    // Bit-rate index 15 makes the library loop forever, sampling-rate index 3 divide by
    // zero; either may sit in any frame.
    auto bytes = readBytes(still("music20.mp2"));
    const std::size_t frame = 100 * 731;  // 224 kbit/s at 44.1 kHz: frames of 731 or 732 bytes
    std::size_t at = frame;
    while (!(bytes[at] == 0xFF && (bytes[at + 1] & 0xE0) == 0xE0)) ++at;
    for (const std::uint8_t damage : {std::uint8_t{0xF0}, std::uint8_t{0x0C}}) {
        auto damaged = bytes;
        damaged[at + 2] |= damage;
        const auto path = dir.file("damaged.mp2");
        {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(damaged.data(), 1, damaged.size(), file);
            std::fclose(file);
        }
        const auto result =
            multiplexStillSequence(dir.file("g.mpg"), {path, still("normal.m1v"), still("high.m1v")}, {}, worker);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().message, "File " + path + " is not a clean MPEG audio stream (bad frame header at byte " +
                                              std::to_string(at) + ").\n");
    }
}

TEST_F(MultiplexerTest, StillsTooFastForTheChannelAreRefusedNamingTheAlbum) {
    testing::makeMp2(dir.file("music4.mp2"), 4.0);
    StillSequenceOptions options;
    options.secondsPerStill = 1;
    options.displayName = "Quick";
    const auto output = dir.file("quick.mpg");
    const auto result =
        multiplexStillSequence(output, {dir.file("music4.mp2"), still("normal4.m1v"), still("high4.m1v")}, options, worker);
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().message.find("\"Quick\""), std::string::npos) << result.error().message;
    EXPECT_NE(result.error().message.find("at least 2 seconds"), std::string::npos) << result.error().message;
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(worker.workersStarted(), 0) << "refused before the multiplexer ran";

    // Without music the pictures still need their channel time.
    EXPECT_FALSE(multiplexStillSequence(dir.file("silent.mpg"), {still("normal4.m1v"), still("high4.m1v")}, options, worker));

    // Two seconds per photo fit, and the multiplexer delivers every picture in time.
    testing::makeMp2(dir.file("music8.mp2"), 8.0);
    options.secondsPerStill = 2;
    EXPECT_TRUE(multiplexStillSequence(dir.file("two.mpg"), {dir.file("music8.mp2"), still("normal4.m1v"), still("high4.m1v")},
                                       options, worker));
}

TEST(StillIntervalTest, PaddedHighResPairsNeedAboutTwoSecondsNextToMusic) {
    const double padded = minimumStillInterval(225280 + 40960, 28000);
    // Measured with the library: 1.85 s under-runs, 1.9 s does not.
    EXPECT_GT(padded, 1.85);
    EXPECT_LE(padded, 1.95);
    EXPECT_LT(minimumStillInterval(225280 + 40960, 0), padded);
    EXPECT_GT(minimumStillInterval(225280 + 40960, 48000), padded);
}

}  // namespace
}  // namespace tellavine
