#pragma once
// Checks that a file is Video CD audio: MPEG-1 Layer II, 44100 Hz, stereo, 224 kbit/s,
// no CRC, as ffprobe and the first frame header say; and its decoded sound.

#include "audio/support/audio_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace tellavine::testing {

inline void expectVcdAudio(const std::string& path) {
    const auto probed = probeAudio(path);
    EXPECT_EQ(probed.codec, "mp2") << path;
    EXPECT_EQ(probed.sampleRate, 44100) << path;
    EXPECT_EQ(probed.channels, 2) << path;
    EXPECT_EQ(probed.bitRate, 224000) << path;
    const auto bytes = fileBytes(path);
    ASSERT_GE(bytes.size(), 4u) << path;
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFD);         // MPEG-1, Layer II, no CRC
    EXPECT_EQ(bytes[2] >> 2, 0xB << 2);  // 224 kbit/s, 44100 Hz
    EXPECT_EQ(bytes[3] >> 6, 0);       // stereo
}

// Seconds of sound in a 44100 Hz stereo file, counted from its decoded samples.
inline double decodedSeconds(const std::vector<std::int16_t>& samples) {
    return static_cast<double>(samples.size()) / 2 / 44100;
}

// The quietest half second of the sound, as RMS: a gap of silence shows here.
inline double quietestHalfSecond(const std::vector<std::int16_t>& samples) {
    const std::size_t window = 44100;  // values in half a second of stereo
    double quietest = 1e9;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) sum += double(samples[i]) * samples[i];
        quietest = std::min(quietest, std::sqrt(sum / window));
    }
    return quietest;
}

}  // namespace tellavine::testing
