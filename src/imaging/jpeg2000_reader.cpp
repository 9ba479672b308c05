// JPEG 2000 through OpenJPEG: .jp2 files and raw codestreams. One component is grey,
// three or more are RGB (a fourth, alpha, is ignored); samples of any precision are
// scaled to 8 bits, subsampled components are sampled at the nearest position.

#include "imaging/codec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <openjpeg.h>

namespace tellavine {
namespace {

struct MemoryStream {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

OPJ_SIZE_T readStream(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    if (s->position >= s->data.size()) return static_cast<OPJ_SIZE_T>(-1);
    const OPJ_SIZE_T n = std::min<OPJ_SIZE_T>(count, s->data.size() - s->position);
    std::memcpy(buffer, s->data.data() + s->position, n);
    s->position += n;
    return n;
}

OPJ_OFF_T skipStream(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    const auto target = static_cast<std::int64_t>(s->position) + count;
    if (target < 0 || target > static_cast<std::int64_t>(s->data.size())) return -1;
    s->position = static_cast<std::size_t>(target);
    return count;
}

OPJ_BOOL seekStream(OPJ_OFF_T offset, void* user) {
    auto* s = static_cast<MemoryStream*>(user);
    if (offset < 0 || static_cast<std::uint64_t>(offset) > s->data.size()) return OPJ_FALSE;
    s->position = static_cast<std::size_t>(offset);
    return OPJ_TRUE;
}

void quiet(const char*, void*) {}

struct CodecFree { void operator()(opj_codec_t* c) const { opj_destroy_codec(c); } };
struct StreamFree { void operator()(opj_stream_t* s) const { opj_stream_destroy(s); } };
struct ImageFree { void operator()(opj_image_t* i) const { opj_image_destroy(i); } };

bool fail(std::string& error, const char* why) {
    error = std::string("JPEG 2000: ") + why;
    return false;
}

// How many times the codestream can halve the picture: one less than the fewest
// resolution levels of any component (0 when the codec cannot say).
unsigned availableReductions(opj_codec_t* codec, unsigned components) {
    opj_codestream_info_v2_t* info = opj_get_cstr_info(codec);
    if (!info) return 0;
    unsigned levels = 0;
    if (info->m_default_tile_info.tccp_info) {
        levels = ~0u;
        for (unsigned c = 0; c < components && c < info->nbcomps; ++c)
            levels = std::min<unsigned>(levels, info->m_default_tile_info.tccp_info[c].numresolutions);
    }
    opj_destroy_cstr_info(&info);
    return levels == 0 || levels == ~0u ? 0 : levels - 1;
}

// Picture coordinates at a reduction by 2^level round up, as the codestream's do.
std::int64_t reducedCoordinate(std::uint32_t coordinate, unsigned level) {
    return (static_cast<std::int64_t>(coordinate) + (std::int64_t{1} << level) - 1) >> level;
}

}  // namespace

bool decodeJpeg2000(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error,
                    PictureSize* fullSize) {
    static constexpr std::uint8_t kCodestream[] = {0xFF, 0x4F, 0xFF, 0x51};
    const bool raw = data.size() >= 4 && std::memcmp(data.data(), kCodestream, 4) == 0;
    std::unique_ptr<opj_codec_t, CodecFree> codec(opj_create_decompress(raw ? OPJ_CODEC_J2K : OPJ_CODEC_JP2));
    if (!codec) return fail(error, "cannot start the decoder");
    opj_set_error_handler(codec.get(), quiet, nullptr);
    opj_set_warning_handler(codec.get(), quiet, nullptr);
    opj_set_info_handler(codec.get(), quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters)) return fail(error, "cannot start the decoder");

    MemoryStream source{data};
    std::unique_ptr<opj_stream_t, StreamFree> stream(opj_stream_create(64 * 1024, OPJ_TRUE));
    opj_stream_set_user_data(stream.get(), &source, nullptr);
    opj_stream_set_user_data_length(stream.get(), data.size());
    opj_stream_set_read_function(stream.get(), readStream);
    opj_stream_set_skip_function(stream.get(), skipStream);
    opj_stream_set_seek_function(stream.get(), seekStream);

    opj_image_t* header = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &header)) return fail(error, "the header is damaged");
    std::unique_ptr<opj_image_t, ImageFree> image(header);
    const std::int64_t width = static_cast<std::int64_t>(image->x1) - image->x0;
    const std::int64_t height = static_cast<std::int64_t>(image->y1) - image->y0;
    if (!pictureSizeAllowed(width, height) || image->numcomps == 0) return fail(error, "the picture size is missing or too large");
    // Grey, grey + alpha, RGB, RGB + alpha; more planes would multiply the memory needed.
    if (image->numcomps > 4) return fail(error, "more than four colour components");
    // A picture many times larger than needed is decoded from fewer resolution levels.
    const opj_image_t area = *image;  // the full picture's corners, before decoding changes anything
    unsigned level = 0;
    for (unsigned divisor = reductionDivisor(static_cast<unsigned>(width), static_cast<unsigned>(height), options);
         divisor > 1; divisor /= 2)
        ++level;
    level = std::min(level, availableReductions(codec.get(), image->numcomps));
    if (level > 0 && !opj_set_decoded_resolution_factor(codec.get(), level)) level = 0;
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return fail(error, "the picture data is damaged");
    const std::int64_t pictureWidth = reducedCoordinate(area.x1, level) - reducedCoordinate(area.x0, level);
    const std::int64_t pictureHeight = reducedCoordinate(area.y1, level) - reducedCoordinate(area.y0, level);
    if (!pictureSizeAllowed(pictureWidth, pictureHeight)) return fail(error, "the picture size is missing or too large");

    const int channels = image->numcomps >= 3 ? 3 : 1;
    for (int c = 0; c < channels; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0 || comp.dx == 0 || comp.dy == 0 || comp.prec == 0 || comp.prec > 31)
            return fail(error, "a colour component is missing");
    }
    Picture picture = Picture::create(static_cast<int>(pictureWidth), static_cast<int>(pictureHeight));
    for (int c = 0; c < channels; ++c) {
        const opj_image_comp_t& comp = image->comps[c];
        const std::int64_t offset = comp.sgnd ? (1LL << (comp.prec - 1)) : 0;
        const std::int64_t max = (1LL << comp.prec) - 1;
        for (int y = 0; y < picture.height(); ++y) {
            const std::uint32_t cy = std::min<std::uint32_t>(static_cast<std::uint32_t>(y) / comp.dy, comp.h - 1);
            std::uint8_t* row = picture.row(y);
            for (int x = 0; x < picture.width(); ++x) {
                const std::uint32_t cx = std::min<std::uint32_t>(static_cast<std::uint32_t>(x) / comp.dx, comp.w - 1);
                std::int64_t v = comp.data[static_cast<std::size_t>(cy) * comp.w + cx] + offset;
                v = std::clamp<std::int64_t>(v, 0, max);
                const auto byte = static_cast<std::uint8_t>((v * 255 + max / 2) / max);
                if (channels == 1)
                    row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = byte;
                else
                    row[x * 3 + c] = byte;
            }
        }
    }
    out = std::move(picture);
    if (fullSize) *fullSize = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

}  // namespace tellavine
