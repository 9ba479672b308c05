#include "audio/mpeg_audio_decoder.h"

#include <mpg123.h>

namespace tellavine::audio {

void MpegAudioDecoder::HandleDeleter::operator()(mpg123_handle_struct* handle) const noexcept {
    mpg123_delete(handle);
}

MpegAudioDecoder::MpegAudioDecoder() = default;
MpegAudioDecoder::~MpegAudioDecoder() = default;
MpegAudioDecoder::MpegAudioDecoder(MpegAudioDecoder&&) noexcept = default;
MpegAudioDecoder& MpegAudioDecoder::operator=(MpegAudioDecoder&&) noexcept = default;

bool MpegAudioDecoder::init(const MpegAudioHeader& header) {
    handle_.reset();
    output_ = {};
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle_struct, HandleDeleter> handle(mpg123_new(nullptr, &error));
    if (!handle) return false;
    // Frames in, samples out: no gapless trimming, no messages on stderr.
    if (mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0) != MPG123_OK ||
        mpg123_param(handle.get(), MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) != MPG123_OK ||
        mpg123_format_none(handle.get()) != MPG123_OK ||
        mpg123_format(handle.get(), header.sampleRate, header.channels() == 1 ? MPG123_MONO : MPG123_STEREO,
                      MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(handle.get()) != MPG123_OK) {
        return false;
    }
    handle_ = std::move(handle);
    output_ = {header.channels(), header.sampleRate, 16};
    return true;
}

FrameDecodeResult MpegAudioDecoder::decodeFrame(std::span<const std::uint8_t> frame, std::span<std::uint8_t> pcm) {
    FrameDecodeResult result;
    if (!handle_ || pcm.size() < kMaxFramePcmBytes) return result;
    std::size_t done = 0;
    int status = mpg123_decode(handle_.get(), frame.data(), frame.size(), pcm.data(), pcm.size(), &done);
    result.produced = done;
    // The first call of a stream announces the format; later calls drain what the fed
    // frame gave until the library wants more input.
    while ((status == MPG123_NEW_FORMAT || status == MPG123_OK) && result.produced < pcm.size()) {
        done = 0;
        status = mpg123_decode(handle_.get(), nullptr, 0, pcm.data() + result.produced,
                               pcm.size() - result.produced, &done);
        result.produced += done;
        if (done == 0 && status == MPG123_OK) break;
    }
    // Damaged frames do not fail here (the library resynchronises on later ones); a hard
    // error means the decoder is unusable and takes nothing.
    if (status == MPG123_ERR) return {false, 0, result.produced};
    result.ok = true;
    result.consumed = frame.size();
    return result;
}

}  // namespace tellavine::audio
