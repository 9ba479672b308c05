#include "encode/audio_prep.h"

#include "audio/cd_pcm_reader.h"
#include "audio/file_handle.h"
#include "audio/mp3_to_wav.h"
#include "encode/mp2_encoder.h"
#include "platform/text.h"
#include "project/messages.h"

#include <cstdint>
#include <vector>

namespace tellavine {
namespace {

constexpr std::uint64_t kCdAudioBytesPerSecond = 176400;

// One Layer II stream from an open 44100 Hz stereo source into an MP2 file; the
// encoder stream is closed on every path.
class Mp2Writer {
public:
    ~Mp2Writer() {
        if (stream_) beCloseStream(stream_);
    }

    bool start(const std::string& mp2Path, const std::string& wavPath) {
        // The MP2 file exists (empty) even when the WAV turns out to be unusable.
        file_ = audio::openFile(mp2Path, "wb");
        if (!file_) return false;
        if (reader_.open(wavPath) != audio::CdPcmReader::OpenResult::Ok) return false;
        BeVersion version;
        beVersion(version);
        std::uint32_t outputSize = 0;
        if (beInitStream(BeConfig{}, samplesPerChunk_, outputSize, stream_) != BE_ERR_SUCCESSFUL) return false;
        chunk_.resize(samplesPerChunk_);
        output_.resize(outputSize);
        return true;
    }

    // Fills the chunk buffer from the WAV; the count of values read, or -1 on a read error.
    long readChunk() {
        const std::size_t got = reader_.read(chunk_);
        if (got < chunk_.size() && reader_.readFailed()) return -1;
        return static_cast<long>(got);
    }

    bool encode(std::size_t values) {
        std::uint32_t produced = 0;
        return beEncodeChunk(stream_, static_cast<std::uint32_t>(values), chunk_.data(), output_.data(), produced) ==
                   BE_ERR_SUCCESSFUL &&
               write(produced);
    }

    bool finish() {
        std::uint32_t produced = 0;
        if (beDeinitStream(stream_, output_.data(), produced) != BE_ERR_SUCCESSFUL || !write(produced)) return false;
        return audio::closeFile(file_);
    }

    std::size_t chunkValues() const { return samplesPerChunk_; }
    audio::CdPcmReader& reader() { return reader_; }

private:
    bool write(std::uint32_t bytes) { return std::fwrite(output_.data(), 1, bytes, file_.get()) == bytes; }

    audio::FileHandle file_;
    audio::CdPcmReader reader_;
    BeStream stream_ = nullptr;
    std::uint32_t samplesPerChunk_ = 0;
    std::vector<std::int16_t> chunk_;
    std::vector<std::uint8_t> output_;
};

bool encodeWhole(const std::string& wavPath, const std::string& mp2Path) {
    Mp2Writer writer;
    if (!writer.start(mp2Path, wavPath)) return false;
    while (true) {
        const long got = writer.readChunk();
        if (got < 0) return false;
        // The last piece may be empty when the data is a whole number of chunks.
        if (!writer.encode(static_cast<std::size_t>(got))) return false;
        if (static_cast<std::size_t>(got) < writer.chunkValues()) break;
    }
    return writer.finish();
}

}  // namespace

bool decodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath) {
    return audio::decodeMp3ToWav(mp3Path, wavPath);
}

bool encodeWavToMp2(const std::string& wavPath, const std::string& mp2Path, const EngineServices& services) {
    services.log(formatText("Encoding music file %s to mp2.", wavPath.c_str()));
    if (!encodeWhole(wavPath, mp2Path)) return false;
    services.log(formatText("Encoding music file %s to mp2 OK!.", wavPath.c_str()));
    return true;
}

bool encodeWavToMp2Looped(const std::string& wavPath, const std::string& mp2Path, int seconds) {
    Mp2Writer writer;
    if (!writer.start(mp2Path, wavPath)) return false;
    const auto& layout = writer.reader().layout();
    // A WAV without samples has nothing to repeat, whatever the length asked for.
    if (layout.dataLength < static_cast<std::uint64_t>(layout.format.blockAlign > 0 ? layout.format.blockAlign : 1)) {
        return false;
    }
    const std::uint64_t limit = static_cast<std::uint64_t>(seconds > 0 ? seconds : 0) * kCdAudioBytesPerSecond;
    const std::uint64_t chunkBytes = writer.chunkValues() * sizeof(std::int16_t);
    std::uint64_t done = 0;
    bool first = true;
    while (done < limit) {
        if (!first && !writer.reader().rewind()) return false;
        first = false;
        std::uint64_t passBytes = 0;
        while (true) {
            const long got = writer.readChunk();
            if (got < 0) return false;
            const std::uint64_t bytes = static_cast<std::uint64_t>(got) * sizeof(std::int16_t);
            if (bytes == chunkBytes) {
                if (done >= limit) return writer.finish();
                if (!writer.encode(static_cast<std::size_t>(got))) return false;
                done += bytes;
                passBytes += bytes;
                continue;
            }
            // The shorter last chunk carries the rest of this pass.
            if (done < limit && bytes > 0) {
                if (!writer.encode(static_cast<std::size_t>(got))) return false;
                done += bytes;
                passBytes += bytes;
            }
            break;
        }
        if (passBytes == 0) return false;  // never loop on a pass that gave nothing
    }
    return writer.finish();
}

}  // namespace tellavine
