#include "audio/pcm_samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace tellavine::audio {
namespace {

constexpr int kLowestRate = 4000;
constexpr int kHighestRate = 192000;

std::int16_t clip(std::int64_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

std::int16_t fromFloat(double value) {
    if (std::isnan(value)) return 0;
    return clip(static_cast<std::int64_t>(std::lround(std::clamp(value, -2.0, 2.0) * 32768.0)));
}

std::uint64_t littleEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

// An integer of `bits` (24 or 32) rounded to 16 bits: half a 16-bit step added, then
// the low bits dropped (an arithmetic shift, so negative values round the same way).
std::int16_t narrowed(const std::uint8_t* bytes, int bits) {
    const std::uint64_t raw = littleEndian(bytes, bits / 8);
    const std::int64_t value = static_cast<std::int64_t>(raw << (64 - bits)) >> (64 - bits);  // sign-extended
    const int drop = bits - 16;
    return clip((value + (std::int64_t{1} << (drop - 1))) >> drop);
}

}  // namespace

PcmEncoding pcmEncodingOf(const WavFormat& format) {
    if (format.formatTag == kWavFormatPcm) {
        switch (format.bitsPerSample) {
            case 8: return PcmEncoding::Unsigned8;
            case 16: return PcmEncoding::Signed16;
            case 24: return PcmEncoding::Signed24;
            case 32: return PcmEncoding::Signed32;
            default: return PcmEncoding::Unsupported;
        }
    }
    if (format.formatTag == kWavFormatFloat) {
        if (format.bitsPerSample == 32) return PcmEncoding::Float32;
        if (format.bitsPerSample == 64) return PcmEncoding::Float64;
    }
    return PcmEncoding::Unsupported;
}

bool isPlayablePcm(const WavFormat& format) {
    return pcmEncodingOf(format) != PcmEncoding::Unsupported && (format.channels == 1 || format.channels == 2) &&
           format.sampleRate >= kLowestRate && format.sampleRate <= kHighestRate;
}

int pcmSampleBytes(PcmEncoding encoding) {
    switch (encoding) {
        case PcmEncoding::Unsigned8: return 1;
        case PcmEncoding::Signed16: return 2;
        case PcmEncoding::Signed24: return 3;
        case PcmEncoding::Signed32:
        case PcmEncoding::Float32: return 4;
        case PcmEncoding::Float64: return 8;
        case PcmEncoding::Unsupported: break;
    }
    return 0;
}

std::int16_t toPcm16(PcmEncoding encoding, const std::uint8_t* sample) {
    switch (encoding) {
        case PcmEncoding::Unsigned8: return static_cast<std::int16_t>((sample[0] - 128) * 256);
        case PcmEncoding::Signed16: return static_cast<std::int16_t>(sample[0] | sample[1] << 8);
        case PcmEncoding::Signed24: return narrowed(sample, 24);
        case PcmEncoding::Signed32: return narrowed(sample, 32);
        case PcmEncoding::Float32:
            return fromFloat(std::bit_cast<float>(static_cast<std::uint32_t>(littleEndian(sample, 4))));
        case PcmEncoding::Float64: return fromFloat(std::bit_cast<double>(littleEndian(sample, 8)));
        case PcmEncoding::Unsupported: break;
    }
    return 0;
}

}  // namespace tellavine::audio
