#pragma once
// The MPEG-1 Layer II encoder behind the five calls of the Windows MP2 encoder library
// the music route was written against (beVersion, beInitStream, beEncodeChunk,
// beDeinitStream, beCloseStream), implemented over libtwolame. Results are the
// library's error codes: 0 is success.

#include <cstdint>
#include <string>

namespace tellavine {

using BeResult = std::uint32_t;
inline constexpr BeResult BE_ERR_SUCCESSFUL = 0;
inline constexpr BeResult BE_ERR_INVALID_FORMAT = 1;
inline constexpr BeResult BE_ERR_INVALID_FORMAT_PARAMETERS = 2;
inline constexpr BeResult BE_ERR_NO_MORE_HANDLES = 3;
inline constexpr BeResult BE_ERR_INVALID_HANDLE = 4;
inline constexpr BeResult BE_ERR_BUFFER_TOO_SMALL = 5;

inline constexpr std::uint32_t BE_CONFIG_MP3 = 0;  // the basic MPEG audio configuration
inline constexpr std::uint8_t BE_MP3_MODE_STEREO = 0;
inline constexpr std::uint8_t BE_MP3_MODE_JSTEREO = 1;
inline constexpr std::uint8_t BE_MP3_MODE_DUALCHANNEL = 2;
inline constexpr std::uint8_t BE_MP3_MODE_MONO = 3;

// The stream configuration handed to beInitStream.
struct BeConfig {
    std::uint32_t configKind = BE_CONFIG_MP3;
    std::uint32_t sampleRate = 44100;  // Hz, input and output
    std::uint8_t mode = BE_MP3_MODE_STEREO;
    std::uint16_t bitrateKbps = 224;
    bool privateFlag = false;  // flags of the MPEG audio frame header
    bool crc = false;
    bool copyright = false;
    bool original = false;
};

struct BeVersion {
    std::uint8_t dllMajor = 0;
    std::uint8_t dllMinor = 0;
    std::uint8_t engineMajor = 0;
    std::uint8_t engineMinor = 0;
    std::string homepage;
};

struct Mp2Stream;
using BeStream = Mp2Stream*;

void beVersion(BeVersion& version);
// Opens a stream. `samplesPerChunk` counts 16-bit values of all channels together;
// `outputBufferSize` bytes hold what one chunk or the final flush produces.
BeResult beInitStream(const BeConfig& config, std::uint32_t& samplesPerChunk, std::uint32_t& outputBufferSize,
                      BeStream& stream);
// Encodes `count` interleaved values (at most one chunk; fewer, even none, for the last
// piece) into `output`, which holds outputBufferSize bytes.
BeResult beEncodeChunk(BeStream stream, std::uint32_t count, const std::int16_t* values, std::uint8_t* output,
                       std::uint32_t& produced);
// Encodes what is still buffered, padding the last frame with silence.
BeResult beDeinitStream(BeStream stream, std::uint8_t* output, std::uint32_t& produced);
// Releases the stream; after success and after failures alike.
BeResult beCloseStream(BeStream stream);

}  // namespace tellavine
