#include "audio/playback_decoder.h"

#include "audio/cd_pcm_reader.h"
#include "audio/mp3_length.h"
#include "audio/mp3_pcm_reader.h"
#include "audio/pcm_samples.h"
#include "audio/wav_format.h"
#include "platform/file.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace tellavine::audio {
namespace {

constexpr std::uint64_t kBytesPerStereoFrame = 4;

// Playback bytes to frames of a source at `rate` Hz.
std::uint64_t sourceFrames(std::uint64_t playbackBytes, int rate) {
    return playbackBytes / kBytesPerStereoFrame * static_cast<std::uint64_t>(rate) / 44100;
}

// Cuts what `reader` gives into blocks until the music ends, `stop` is set or the
// reader fails (then no last block).
template <typename Reader, typename FailedQuery>
void pushBlocks(Reader& reader, FailedQuery failed, PlaybackQueue& queue, const Event& stop) {
    while (!stop.isSet()) {
        PlaybackBlock block;
        block.samples.assign(kPlaybackBlockSamples, 0);
        const std::size_t got = reader.read(block.samples);
        if (got < kPlaybackBlockSamples) {
            if (failed()) return;
            block.kind = PlaybackBlock::LastBlock;  // zero-padded already
            queue.push(std::move(block), stop);
            return;
        }
        if (!queue.push(std::move(block), stop)) return;
    }
}

}  // namespace

PlaybackFormat playbackFormatOf(const std::string& path) {
    if (path.size() < 4) return PlaybackFormat::None;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ending == ".mp3") return PlaybackFormat::Mp3;
    if (ending == ".wav") return PlaybackFormat::Wav;
    return PlaybackFormat::None;
}

std::uint32_t playbackLength(const std::string& path) {
    switch (playbackFormatOf(path)) {
        case PlaybackFormat::Mp3:
            return static_cast<std::uint32_t>(std::max(measureMp3Length(path).value_or(0), 0));
        case PlaybackFormat::Wav: {
            File file = File::open(path, "rb");
            const auto layout = file ? readWavLayout(file.get()) : std::nullopt;
            if (!layout || !isPlayablePcm(layout->format)) return 0;
            const auto& format = layout->format;
            const auto sampleBytes = static_cast<std::uint64_t>(pcmSampleBytes(pcmEncodingOf(format)));
            const std::uint64_t frames = layout->dataLength / (static_cast<std::uint64_t>(format.channels) * sampleBytes);
            const std::uint64_t bytes = frames * 44100 / static_cast<std::uint64_t>(format.sampleRate) * kBytesPerStereoFrame;
            return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, std::numeric_limits<std::uint32_t>::max()));
        }
        case PlaybackFormat::None:
            break;
    }
    return 0;
}

void decodeForPlayback(const std::string& path, std::uint64_t startBytes, PlaybackQueue& queue, const Event& stop) {
    switch (playbackFormatOf(path)) {
        case PlaybackFormat::Wav: {
            CdPcmReader reader;
            if (reader.open(path) != CdPcmReader::OpenResult::Ok) return;
            if (!reader.rewindTo(sourceFrames(startBytes, reader.layout().format.sampleRate))) return;
            pushBlocks(reader, [&] { return reader.readFailed(); }, queue, stop);
            return;
        }
        case PlaybackFormat::Mp3: {
            Mp3PcmReader reader;
            if (!reader.open(path)) return;
            reader.skipSourceFrames(sourceFrames(startBytes, reader.source().sampleRate));
            pushBlocks(reader, [&] { return reader.failed(); }, queue, stop);
            return;
        }
        case PlaybackFormat::None:
            return;
    }
}

PlaybackDecoder::PlaybackDecoder() {
    done_.set();
}

PlaybackDecoder::~PlaybackDecoder() {
    stop();
    if (thread_.joinable()) thread_.join();
}

void PlaybackDecoder::start(const std::string& path, std::uint64_t startBytes) {
    stop();
    if (thread_.joinable()) thread_.join();
    stop_.reset();
    done_.reset();
    queue_.clear();
    thread_ = std::thread([this, path, startBytes] {
        decodeForPlayback(path, startBytes, queue_, stop_);
        done_.set();
    });
}

void PlaybackDecoder::stop() {
    stop_.set();
    queue_.clear();
}

}  // namespace tellavine::audio
