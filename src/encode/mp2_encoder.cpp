#include "encode/mp2_encoder.h"

#include <twolame.h>

#include <cstdio>
#include <limits>
#include <memory>

namespace tellavine {
namespace {

struct OptionsCloser {
    void operator()(twolame_options* options) const noexcept { twolame_close(&options); }
};

TWOLAME_MPEG_mode twolameMode(std::uint8_t mode) {
    switch (mode) {
        case BE_MP3_MODE_JSTEREO: return TWOLAME_JOINT_STEREO;
        case BE_MP3_MODE_DUALCHANNEL: return TWOLAME_DUAL_CHANNEL;
        case BE_MP3_MODE_MONO: return TWOLAME_MONO;
        default: return TWOLAME_STEREO;
    }
}

bool isMpeg1Rate(std::uint32_t rate) { return rate == 32000 || rate == 44100 || rate == 48000; }

bool isLayerTwoBitrate(std::uint16_t kbps) {
    for (const std::uint16_t legal : {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384}) {
        if (kbps == legal) return true;
    }
    return false;
}

}  // namespace

struct Mp2Stream {
    std::unique_ptr<twolame_options, OptionsCloser> options;
    int channels = 2;
    std::uint32_t samplesPerChunk = 0;
    std::uint32_t outputBufferSize = 0;
};

void beVersion(BeVersion& version) {
    version = {};
    version.dllMajor = 1;
    version.dllMinor = 0;
    int major = 0;
    int minor = 0;
    if (std::sscanf(get_twolame_version(), "%d.%d", &major, &minor) == 2) {
        version.engineMajor = static_cast<std::uint8_t>(major);
        version.engineMinor = static_cast<std::uint8_t>(minor);
    }
    version.homepage = get_twolame_url();
}

BeResult beInitStream(const BeConfig& config, std::uint32_t& samplesPerChunk, std::uint32_t& outputBufferSize,
                      BeStream& stream) {
    stream = nullptr;
    if (config.configKind != BE_CONFIG_MP3) return BE_ERR_INVALID_FORMAT;
    if (!isMpeg1Rate(config.sampleRate) || !isLayerTwoBitrate(config.bitrateKbps) || config.mode > BE_MP3_MODE_MONO) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }

    auto created = std::make_unique<Mp2Stream>();
    created->options.reset(twolame_init());
    if (!created->options) return BE_ERR_NO_MORE_HANDLES;
    created->channels = config.mode == BE_MP3_MODE_MONO ? 1 : 2;
    twolame_options* options = created->options.get();
    twolame_set_verbosity(options, 0);  // refusals are results, not messages on stderr
    const auto rate = static_cast<int>(config.sampleRate);
    // Padding keeps the average rate at exactly the nominal bitrate (at 44100 Hz frames
    // alternate between 731 and 732 bytes), as players of Video CD audio expect.
    if (twolame_set_in_samplerate(options, rate) != 0 || twolame_set_out_samplerate(options, rate) != 0 ||
        twolame_set_num_channels(options, created->channels) != 0 ||
        twolame_set_mode(options, twolameMode(config.mode)) != 0 ||
        twolame_set_version(options, TWOLAME_MPEG1) != 0 || twolame_set_bitrate(options, config.bitrateKbps) != 0 ||
        twolame_set_padding(options, TWOLAME_PAD_ALL) != 0 ||
        twolame_set_error_protection(options, config.crc ? 1 : 0) != 0 ||
        twolame_set_copyright(options, config.copyright ? 1 : 0) != 0 ||
        twolame_set_original(options, config.original ? 1 : 0) != 0 ||
        twolame_set_extension(options, config.privateFlag ? 1 : 0) != 0 ||
        twolame_init_params(options) != 0) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    // One chunk is one frame of samples, so it yields at most one frame; the flush too.
    created->samplesPerChunk = static_cast<std::uint32_t>(TWOLAME_SAMPLES_PER_FRAME * created->channels);
    const auto longestFrame = 144u * config.bitrateKbps * 1000u / config.sampleRate + 1u;
    created->outputBufferSize = 2 * longestFrame;

    samplesPerChunk = created->samplesPerChunk;
    outputBufferSize = created->outputBufferSize;
    stream = created.release();
    return BE_ERR_SUCCESSFUL;
}

BeResult beEncodeChunk(BeStream stream, std::uint32_t count, const std::int16_t* values, std::uint8_t* output,
                       std::uint32_t& produced) {
    produced = 0;
    if (!stream) return BE_ERR_INVALID_HANDLE;
    if (count > stream->samplesPerChunk || count % static_cast<std::uint32_t>(stream->channels) != 0 ||
        (count > 0 && !values) || !output) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    if (count == 0) return BE_ERR_SUCCESSFUL;
    const int frames = static_cast<int>(count) / stream->channels;
    const int bytes = stream->channels == 2
                          ? twolame_encode_buffer_interleaved(stream->options.get(), values, frames, output,
                                                              static_cast<int>(stream->outputBufferSize))
                          : twolame_encode_buffer(stream->options.get(), values, values, frames, output,
                                                  static_cast<int>(stream->outputBufferSize));
    if (bytes < 0) return BE_ERR_BUFFER_TOO_SMALL;
    produced = static_cast<std::uint32_t>(bytes);
    return BE_ERR_SUCCESSFUL;
}

BeResult beDeinitStream(BeStream stream, std::uint8_t* output, std::uint32_t& produced) {
    produced = 0;
    if (!stream) return BE_ERR_INVALID_HANDLE;
    if (!output) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    const int bytes = twolame_encode_flush(stream->options.get(), output, static_cast<int>(stream->outputBufferSize));
    if (bytes < 0) return BE_ERR_BUFFER_TOO_SMALL;
    produced = static_cast<std::uint32_t>(bytes);
    return BE_ERR_SUCCESSFUL;
}

BeResult beCloseStream(BeStream stream) {
    if (!stream) return BE_ERR_INVALID_HANDLE;
    delete stream;
    return BE_ERR_SUCCESSFUL;
}

}  // namespace tellavine
