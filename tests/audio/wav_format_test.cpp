#include "audio/wav_format.h"

#include "audio/file_handle.h"
#include "audio/support/audio_fixtures.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine::audio {
namespace {

std::optional<WavLayout> layoutOf(const std::string& path) {
    FileHandle file = openFile(path, "rb");
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
        EXPECT_TRUE(isPlayablePcm16(layout.format));
    }
    // The samples behind the LIST chunk are the same as in the plain file.
    const auto plainBytes = testing::fileBytes(plain);
    const auto listedBytes = testing::fileBytes(listed);
    EXPECT_TRUE(std::equal(plainBytes.begin() + 44, plainBytes.end(), listedBytes.begin() + b->dataOffset));
}

TEST(WavLayout, RefusesWhatIsNotSixteenBitPcm) {
    testing::TempDir dir;
    const auto eightBit = dir.file("8bit.wav");
    testing::makeToneWav(eightBit, {44100, 2, 0.1, 1000, 8});
    const auto layout = layoutOf(eightBit);
    ASSERT_TRUE(layout);
    EXPECT_FALSE(isPlayablePcm16(layout->format));

    const auto floats = dir.file("float.wav");
    ASSERT_TRUE(testing::runShell("sox -n -r 44100 -c 2 -e floating-point -b 32 " + floats + " synth 0.1 sine 1000").succeeded());
    const auto floatLayout = layoutOf(floats);
    ASSERT_TRUE(floatLayout);
    EXPECT_FALSE(isPlayablePcm16(floatLayout->format));

    const auto sixChannels = dir.file("six.wav");
    testing::makeToneWav(sixChannels, {44100, 6, 0.1, 1000});
    const auto sixLayout = layoutOf(sixChannels);
    ASSERT_TRUE(sixLayout);  // sox writes WAVE_FORMAT_EXTENSIBLE here; the sub-format is PCM
    EXPECT_EQ(sixLayout->format.formatTag, kWavFormatPcm);
    EXPECT_FALSE(isPlayablePcm16(sixLayout->format));
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
