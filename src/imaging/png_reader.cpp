// PNG through libpng: every colour type and depth expanded to RGBA, 16-bit samples
// rounded (not cut) to 8 bits after compositing the alpha on black. libpng's longjmp lands in decodePngCore,
// which holds only plain data.

#include "imaging/codec.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

namespace tellavine {
namespace {

struct PngJob {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
    Picture* picture = nullptr;
    std::vector<std::uint8_t>* rgba = nullptr;
    const char* error = nullptr;
    char message[256] = {};
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (job->data.size() - job->position < count) png_error(png, "unexpected end of file");
    std::memcpy(out, job->data.data() + job->position, count);
    job->position += count;
}

void onPngError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

bool allocate(PngJob& job, png_uint_32 width, png_uint_32 height, std::size_t pixelBytes) {
    if (!pictureSizeAllowed(width, height)) return false;
    *job.picture = Picture::create(static_cast<int>(width), static_cast<int>(height));
    job.rgba->resize(static_cast<std::size_t>(width) * pixelBytes);
    return job.picture->valid();
}

// One row of RGBA samples (8 or 16 bits, big-endian) composited on black into row y.
void compositeRow(PngJob& job, const std::uint8_t* in, int y, int width, bool sixteen) {
    std::uint8_t* out = job.picture->row(y);
    if (!sixteen) {
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const unsigned alpha = in[3];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((in[c] * alpha + 127) / 255);
        }
        return;
    }
    for (int x = 0; x < width; ++x, in += 8, out += 3) {
        const std::uint64_t alpha = in[6] << 8 | in[7];
        for (int c = 0; c < 3; ++c) {
            const std::uint64_t sample = (in[c * 2] << 8 | in[c * 2 + 1]) * alpha;
            const std::uint64_t value = (sample + 32767) / 65535;       // composited, 16 bits
            out[c] = static_cast<std::uint8_t>((value * 255 + 32767) / 65535);
        }
    }
}

void decodePngCore(PngJob& job) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onPngError, onPngWarning);
    if (!png) {
        job.error = "out of memory";
        return;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        job.error = "out of memory";
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        job.error = job.message;
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    png_set_read_fn(png, &job, readFromMemory);
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    png_set_expand(png);  // palette and low-depth grey to 8 bits, tRNS to alpha
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    const bool sixteen = png_get_bit_depth(png, info) == 16;
    png_set_add_alpha(png, sixteen ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t pixelBytes = sixteen ? 8 : 4;
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * pixelBytes || !allocate(job, width, height, pixelBytes)) {
        job.error = "the picture is too large";
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    if (passes > 1) {
        // Interlaced: keep the whole RGBA picture until every pass is in.
        const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
        job.rgba->resize(rowBytes * height);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, job.rgba->data() + y * rowBytes, nullptr);
        for (png_uint_32 y = 0; y < height; ++y)
            compositeRow(job, job.rgba->data() + y * rowBytes, static_cast<int>(y), static_cast<int>(width), sixteen);
    } else {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, job.rgba->data(), nullptr);
            compositeRow(job, job.rgba->data(), static_cast<int>(y), static_cast<int>(width), sixteen);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
}

}  // namespace

bool decodePng(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    Picture picture;
    std::vector<std::uint8_t> rgba;
    PngJob job;
    job.data = data;
    job.picture = &picture;
    job.rgba = &rgba;
    decodePngCore(job);
    if (job.error) {
        error = std::string("PNG: ") + job.error;
        return false;
    }
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
