#pragma once
// RIFF/WAVE files: reading the chunk layout of any WAV a tool may write (extra chunks
// such as LIST before or after the samples), and the canonical 44-byte header this
// program writes for decoded music.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace tellavine::audio {

inline constexpr std::uint16_t kWavFormatPcm = 1;
inline constexpr std::uint16_t kWavFormatFloat = 3;  // IEEE float samples
inline constexpr std::uint16_t kWavFormatExtensible = 0xFFFE;
inline constexpr std::size_t kCanonicalWavHeaderSize = 44;

struct WavFormat {
    std::uint16_t formatTag = 0;  // the sub-format for WAVE_FORMAT_EXTENSIBLE files
    int channels = 0;
    int sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
};

struct WavLayout {
    WavFormat format;
    std::uint64_t dataOffset = 0;  // first sample byte
    std::uint64_t dataLength = 0;  // sample bytes, cut to what the file really holds
};

// Walks the chunks of the WAV file open in `file` and finds "fmt " and "data". Nothing
// when the file is not RIFF/WAVE or lacks either chunk. Leaves the position undefined.
std::optional<WavLayout> readWavLayout(std::FILE* file);

// The 44-byte header: RIFF, a 16-byte "fmt " chunk for integer PCM, and "data".
std::vector<std::uint8_t> canonicalWavHeader(int channels, int sampleRate, int bitsPerSample,
                                             std::uint32_t dataLength);

}  // namespace tellavine::audio
