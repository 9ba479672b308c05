#pragma once
// Reads the samples of a PCM WAV file (any of the encodings of pcm_samples.h) as 16-bit 44100 Hz interleaved stereo, the only
// form the Video CD audio encoder takes: mono is doubled into both channels and other
// rates go through the SampleRateConverter. Reading can start over for looped music.

#include "audio/cd_rate_stream.h"
#include "audio/pcm_samples.h"
#include "audio/wav_format.h"
#include "platform/file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellavine::audio {

class CdPcmReader {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    enum class OpenResult { Ok, CannotOpen, NotWav, Unsupported };

    // Opens the WAV and checks its format: uncompressed PCM, mono or stereo.
    OpenResult open(const std::string& path);
    // Same, over a file the caller keeps open (the reader does not close it).
    OpenResult open(std::FILE* file);

    // Fills `values` with interleaved stereo samples; fewer (an even count) only at the
    // end of the data. Check readFailed() when fewer come back.
    std::size_t read(std::span<std::int16_t> values);
    // Starts again at the first sample, with fresh converter history.
    bool rewind();
    // Starts again at source frame `frame` (a start inside the music); past the end
    // nothing is left to read.
    bool rewindTo(std::uint64_t frame);

    bool readFailed() const { return readFailed_; }
    const WavLayout& layout() const { return layout_; }

private:
    static constexpr std::size_t kBlockFrames = 4096;

    OpenResult examine();
    std::uint64_t frameBytes() const;
    void produceMore();

    File owned_;
    std::FILE* file_ = nullptr;
    WavLayout layout_;
    PcmEncoding encoding_ = PcmEncoding::Unsupported;
    std::unique_ptr<CdRateStream> stream_;
    std::uint64_t dataRead_ = 0;       // bytes of the data part read (or skipped) so far
    std::vector<std::uint8_t> raw_;
    std::vector<std::uint8_t> pcm16_;  // raw_ as 16-bit little-endian samples
    std::vector<std::int16_t> ready_;         // interleaved output not yet read
    std::size_t readyHead_ = 0;
    bool dataEnded_ = false;
    bool readFailed_ = false;
};

}  // namespace tellavine::audio
