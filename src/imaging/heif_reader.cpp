// HEIC/HEIF and AVIF through libheif: the primary image, turned upright by the file's own
// rotation, mirroring and cropping (irot, imir, clap), which libheif applies while it
// decodes. Where those boxes exist they decide how the picture stands, and the EXIF
// orientation (phones write both, saying the same) is not applied a second time; a file
// without them (converters that only copy a camera JPEG's EXIF) is turned by its EXIF
// orientation, as a JPEG is. High bit depths come out as 8 bits; alpha is composited
// on black, as for PNG.

#include "imaging/codec.h"
#include "imaging/heif_boxes.h"

#include <memory>
#include <mutex>
#include <vector>

#include <libheif/heif.h>

namespace tellavine {
namespace {

struct ContextFree { void operator()(heif_context* c) const { heif_context_free(c); } };
struct HandleRelease { void operator()(const heif_image_handle* h) const { heif_image_handle_release(h); } };
struct ImageRelease { void operator()(const heif_image* i) const { heif_image_release(i); } };
struct OptionsFree { void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); } };

using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<const heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<const heif_image, ImageRelease>;
using Options = std::unique_ptr<heif_decoding_options, OptionsFree>;

// The library registers its decoders once; two frame lanes may decode at the same time,
// so that happens before either starts. It stays registered for the life of the process.
void startLibraryOnce() {
    static std::once_flag started;
    std::call_once(started, [] { heif_init(nullptr); });
}

bool fail(std::string& error, const char* why) {
    error = std::string("HEIF: ") + why;
    return false;
}

bool fail(std::string& error, const std::string& why) { return fail(error, why.c_str()); }

bool fail(std::string& error, const heif_error& result) {
    error = std::string("HEIF: ") + (result.message && *result.message ? result.message : "the file is damaged");
    return false;
}

// The orientation in the picture's first EXIF block: 4 bytes giving the offset of the
// TIFF header within the rest, then the block.
int exifOrientationOf(const heif_image_handle* handle) {
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1) return 0;
    const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size < 4 || size > 1024 * 1024) return 0;
    std::vector<std::uint8_t> block(size);
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) return 0;
    const std::uint64_t offset = static_cast<std::uint64_t>(block[0]) << 24 | block[1] << 16 | block[2] << 8 | block[3];
    if (offset > size - 4) return 0;
    return exifOrientation(std::span<const std::uint8_t>(block).subspan(4 + static_cast<std::size_t>(offset)));
}

}  // namespace

bool decodeHeif(std::span<const std::uint8_t> data, const DecodeOptions& decodeOptions, Picture& out,
                std::string& error) {
    if (data.empty()) return fail(error, "empty file");
    // Before libheif sees the file: it would decode such a stream, or build such a grid,
    // at its full size before the size could be checked.
    if (const auto why = heifCodedPictureLargerThanDeclared(data)) return fail(error, *why);
    startLibraryOnce();
    Context context(heif_context_alloc());
    if (!context) return fail(error, "out of memory");
    // Refuses larger pictures (and grids of tiles adding up to them) before decoding.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
    heif_error result = heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(), nullptr);
    if (result.code != heif_error_Ok) return fail(error, result);

    heif_image_handle* primary = nullptr;
    result = heif_context_get_primary_image_handle(context.get(), &primary);
    if (result.code != heif_error_Ok || !primary) return fail(error, result);
    Handle handle(primary);
    if (!pictureSizeAllowed(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get())) ||
        !pictureSizeAllowed(heif_image_handle_get_ispe_width(handle.get()),
                            heif_image_handle_get_ispe_height(handle.get())))
        return fail(error, "the picture size is missing or too large");

    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    Options options(heif_decoding_options_alloc());
    if (!options) return fail(error, "out of memory");
    options->ignore_transformations = 0;  // rotation and mirroring make the picture upright
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    result = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (result.code != heif_error_Ok || !decoded) return fail(error, result);
    Image image(decoded);

    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    // libheif 1.15 hands back whatever size the coded stream has; a stream larger than the
    // picture the file declares is damaged (or made to waste memory), not a photo. Most
    // such files are refused before decoding; this catches what the boxes did not tell.
    if (width != heif_image_handle_get_width(handle.get()) || height != heif_image_handle_get_height(handle.get()))
        return fail(error, "the picture data does not have the size the file declares");
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int bytesPerPixel = alpha ? 4 : 3;
    if (!plane || !pictureSizeAllowed(width, height) ||
        heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 ||
        stride < width * bytesPerPixel)
        return fail(error, "the decoder gave no picture");

    Picture picture = Picture::create(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x, in += bytesPerPixel, row += 3) {
            const unsigned a = alpha && !premultiplied ? in[3] : 255;
            for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((in[c] * a + 127) / 255);
        }
    }
    if (decodeOptions.applyOrientation && !heifHasRotationOrMirror(data))
        applyOrientation(picture, exifOrientationOf(handle.get()));
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
