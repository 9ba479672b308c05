#pragma once
// Reads the samples of a PCM WAV file as 16-bit 44100 Hz interleaved stereo, the only
// form the Video CD audio encoder takes: 8-, 24- and 32-bit integer and float samples are
// brought to 16 bits first, mono is doubled into both channels and other rates go
// through the SampleRateConverter. Reading can start over for looped music.

#include "audio/pcm_samples.h"
#include "audio/sample_rate_converter.h"
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

    // Opens the WAV and checks its format: PCM samples (pcm_samples.h), mono or stereo.
    // Compressed WAVs are Unsupported.
    OpenResult open(const std::string& path);
    // Same, over a file the caller keeps open (the reader does not close it).
    OpenResult open(std::FILE* file);

    // Fills `values` with interleaved stereo samples; fewer (an even count) only at the
    // end of the data. Check readFailed() when fewer come back.
    std::size_t read(std::span<std::int16_t> values);
    // Starts again at the first sample, with fresh converter history.
    bool rewind();

    bool readFailed() const { return readFailed_; }
    const WavLayout& layout() const { return layout_; }

private:
    static constexpr std::size_t kBlockFrames = 4096;

    OpenResult examine();
    void produceMore();
    void appendConverted(std::size_t inputFrames, bool lastBlock);

    File owned_;
    std::FILE* file_ = nullptr;
    WavLayout layout_;
    PcmEncoding encoding_ = PcmEncoding::Unsupported;
    std::unique_ptr<SampleRateConverter> converter_;
    std::uint64_t dataRead_ = 0;       // bytes of the data part read so far
    std::uint64_t framesIn_ = 0;       // input frames handed to the converter
    std::uint64_t framesOut_ = 0;      // output frames made
    std::vector<std::uint8_t> raw_;
    std::vector<std::int16_t> left_, right_;  // input frames not yet taken by the converter
    std::vector<std::int16_t> convertedLeft_, convertedRight_;
    std::vector<std::int16_t> ready_;         // interleaved output not yet read
    std::size_t readyHead_ = 0;
    bool dataEnded_ = false;
    bool readFailed_ = false;
};

}  // namespace tellavine::audio
