#pragma once
// The sample encodings a WAV file may carry that the music route turns into the 16-bit
// samples the rest of the chain takes: unsigned 8-bit, signed 16-, 24- and 32-bit
// integers, and 32- and 64-bit IEEE floats, all little-endian. Compressed encodings
// (ADPCM, A-law, ...) have none.

#include "audio/wav_format.h"

#include <cstdint>

namespace tellavine::audio {

enum class PcmEncoding { Unsupported, Unsigned8, Signed16, Signed24, Signed32, Float32, Float64 };

// The encoding of the format's samples (its sub-format for WAVE_FORMAT_EXTENSIBLE).
PcmEncoding pcmEncodingOf(const WavFormat& format);

// True for the samples the music route takes: an encoding above, mono or stereo, at a
// sample rate the rate converter handles.
bool isPlayablePcm(const WavFormat& format);

// Bytes one sample of one channel takes in the file; 0 for Unsupported.
int pcmSampleBytes(PcmEncoding encoding);

// One sample as 16 bits: wider integers rounded to the nearest 16-bit step, floats
// scaled so that 1.0 is full scale; both clipped to -32768..32767 (NaN is silence).
std::int16_t toPcm16(PcmEncoding encoding, const std::uint8_t* sample);

}  // namespace tellavine::audio
