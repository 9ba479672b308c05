#include "audio/mp3_to_wav.h"

#include "audio/id3v2_tag.h"
#include "audio/mp3_input.h"
#include "audio/mpeg_audio_decoder.h"
#include "audio/wav_format.h"
#include "platform/file.h"

#include <fcntl.h>

#include <limits>
#include <vector>

namespace tellavine::audio {
namespace {

constexpr std::size_t kPcmBufferSize = 60000;
constexpr std::size_t kWriteAbove = 55000;
// The largest data part a WAV header can describe.
constexpr std::uint64_t kMaxDataLength = std::numeric_limits<std::uint32_t>::max() - 36;

bool writeAll(std::FILE* file, const std::vector<std::uint8_t>& bytes, std::size_t count) {
    return std::fwrite(bytes.data(), 1, count, file) == count;
}

bool patchLengths(std::FILE* wav, std::uint32_t dataLength) {
    const auto header = canonicalWavHeader(1, 1, 16, dataLength);
    // Only the RIFF length (offset 4) and the data length (offset 40) change.
    return std::fseek(wav, 4, SEEK_SET) == 0 && std::fwrite(header.data() + 4, 1, 4, wav) == 4 &&
           std::fseek(wav, 40, SEEK_SET) == 0 && std::fwrite(header.data() + 40, 1, 4, wav) == 4 &&
           std::fflush(wav) == 0;
}

}  // namespace

bool decodeMp3StreamToWav(std::FILE* mp3, std::FILE* wav) {
    Mp3InputWindow input(mp3);
    const FrameFilter anyLayerThree{true, nullptr};
    auto first = nextFrame(input, anyLayerThree, true);
    if (first && isXingFrame(*first, input.view().first(first->frameLength))) {
        input.consume(first->frameLength);
        first = nextFrame(input, anyLayerThree, true);
    }
    if (!first) return false;

    MpegAudioDecoder decoder;
    if (!decoder.init(*first)) return false;
    const PcmDescription pcm = decoder.output();
    const auto header = canonicalWavHeader(pcm.channels, pcm.sampleRate, pcm.bitsPerSample, 0);
    if (std::fseek(wav, 0, SEEK_SET) != 0 || std::fwrite(header.data(), 1, header.size(), wav) != header.size()) {
        return false;
    }

    std::vector<std::uint8_t> pending(kPcmBufferSize);
    std::size_t pendingBytes = 0;
    std::uint64_t written = 0;
    const FrameFilter sameStream{true, &*first};
    while (auto frame = nextFrame(input, sameStream)) {
        const auto bytes = input.view().first(frame->frameLength);
        const auto step = decoder.decodeFrame(bytes, std::span(pending).subspan(pendingBytes));
        if (!step.ok || step.consumed == 0) break;
        input.consume(step.consumed);
        pendingBytes += step.produced;
        if (written + pendingBytes > kMaxDataLength) return false;
        if (pendingBytes > kWriteAbove) {
            if (!writeAll(wav, pending, pendingBytes)) return false;
            written += pendingBytes;
            pendingBytes = 0;
        }
    }
    if (input.readFailed() || !writeAll(wav, pending, pendingBytes)) return false;
    written += pendingBytes;
    return patchLengths(wav, static_cast<std::uint32_t>(written));
}

bool decodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath) {
    const std::size_t tagSize = id3v2TagSize(mp3Path);
    File mp3 = File::open(mp3Path, "rb");
    if (!mp3) return false;
    if (tagSize > 0 && std::fseek(mp3.get(), static_cast<long>(tagSize), SEEK_SET) != 0) return false;

    File wav = File::openWithFlags(wavPath, O_RDWR | O_CREAT | O_TRUNC, 0600, "w+b");
    if (!wav) return false;
    const bool decoded = decodeMp3StreamToWav(mp3.get(), wav.get());
    return wav.close() && decoded;
}

}  // namespace tellavine::audio
