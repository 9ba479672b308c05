// JPEG through libjpeg(-turbo). libjpeg reports fatal errors by calling error_exit,
// which here longjmps back into decodeJpegCore; that function keeps only plain data
// on its stack so nothing with a destructor is skipped.

#include "imaging/codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace tellavine {
namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool dataEnded = false;  // the picture data ran out: libjpeg fills the rest with grey
};

void onJpegError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings are not worth a line anywhere, but a file that ends inside the picture data is
// damaged: decoding it would put a grey block into the slide without a word. The data
// always ends in an end-of-image marker here (decodeJpeg adds a missing one), so a cut
// file shows as picture data that hits that marker early.
void onJpegMessage(j_common_ptr cinfo, int level) {
    const int code = cinfo->err->msg_code;
    if (level < 0 && (code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF))
        reinterpret_cast<JpegErrorManager*>(cinfo->err)->dataEnded = true;
}

// A progressive file may hold any number of scans, each a pass over the whole picture, so
// a small file of thousands of tiny scans decodes for minutes. Encoders write ten or so.
constexpr int kMaxProgressiveScans = 500;

void limitScans(j_common_ptr common) {
    if (!common->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(common)->input_scan_number <= kMaxProgressiveScans) return;
    auto* manager = reinterpret_cast<JpegErrorManager*>(common->err);
    std::snprintf(manager->message, sizeof manager->message, "the picture has more than %d scans",
                  kMaxProgressiveScans);
    std::longjmp(manager->jump, 1);
}

// What decodeJpegCore fills; the caller owns it, so nothing is lost on a longjmp.
struct JpegJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    DecodeOptions reduction;  // how far the DCT may reduce the picture
    unsigned fullWidth = 0, fullHeight = 0;
    Picture* picture = nullptr;
    std::vector<std::uint8_t>* scanline = nullptr;
    std::vector<std::uint8_t>* exif = nullptr;
    const char* error = nullptr;
    char message[JMSG_LENGTH_MAX] = {};
};

// Allocation helpers called from the core; they finish before libjpeg runs again.
bool allocatePicture(JpegJob& job, int width, int height, std::size_t scanlineBytes) {
    *job.picture = Picture::create(width, height);
    if (!job.picture->valid()) return false;
    job.scanline->resize(scanlineBytes);
    return true;
}

void keepExif(JpegJob& job, jpeg_saved_marker_ptr marker) {
    for (; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length > 6 &&
            std::memcmp(marker->data, "Exif\0\0", 6) == 0) {
            job.exif->assign(marker->data + 6, marker->data + marker->data_length);
            return;
        }
    }
}

void storeRow(JpegJob& job, int y, const std::uint8_t* in, int width, J_COLOR_SPACE space, bool adobeInverted) {
    std::uint8_t* out = job.picture->row(y);
    if (space == JCS_CMYK) {
        // Adobe writes CMYK inverted (0 = full ink); plain CMYK files count ink upwards.
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            int c = in[0], m = in[1], yel = in[2], k = in[3];
            if (!adobeInverted) {
                c = 255 - c; m = 255 - m; yel = 255 - yel; k = 255 - k;
            }
            out[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
            out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
            out[2] = static_cast<std::uint8_t>((yel * k + 127) / 255);
        }
    } else {
        std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
    }
}

void decodeJpegCore(JpegJob& job) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.emit_message = onJpegMessage;
    if (setjmp(errors.jump)) {
        std::memcpy(job.message, errors.message, sizeof job.message);
        job.error = job.message;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, job.data, static_cast<unsigned long>(job.size));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    keepExif(job, cinfo.marker_list);

    if (!pictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        job.error = "the picture is too large";
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    job.fullWidth = cinfo.image_width;
    job.fullHeight = cinfo.image_height;
    cinfo.scale_num = 1;
    cinfo.scale_denom = reductionDivisor(cinfo.image_width, cinfo.image_height, job.reduction);
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    if (!allocatePicture(job, width, height, static_cast<std::size_t>(width) * cinfo.output_components)) {
        job.error = "the picture is too large";
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    if (cinfo.out_color_space == JCS_RGB) {
        // RGB rows have the picture's own layout: decode straight into them, as many
        // at a time as the decoder hands out.
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rows[16];
            const int first = static_cast<int>(cinfo.output_scanline);
            const int count = std::min<int>(16, height - first);
            for (int i = 0; i < count; ++i) rows[i] = job.picture->row(first + i);
            if (jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count)) == 0) break;
        }
    } else {
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rows[1] = {job.scanline->data()};
            const int y = static_cast<int>(cinfo.output_scanline);
            if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
            storeRow(job, y, job.scanline->data(), width, cinfo.out_color_space, cinfo.saw_Adobe_marker);
        }
    }
    if (errors.dataEnded) {
        job.error = "the JPEG file is truncated";
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

}  // namespace

bool decodeJpeg(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error,
                PictureSize* fullSize) {
    if (data.empty()) {
        error = "empty JPEG file";
        return false;
    }
    // Files that only lack the end-of-image marker are whole; with the marker added they
    // decode without the warning that marks a cut file.
    std::vector<std::uint8_t> withEnd;
    if (data.size() < 2 || data[data.size() - 2] != 0xFF || data[data.size() - 1] != 0xD9) {
        withEnd.reserve(data.size() + 2);
        withEnd.assign(data.begin(), data.end());
        withEnd.push_back(0xFF);
        withEnd.push_back(0xD9);
        data = withEnd;
    }
    Picture picture;
    std::vector<std::uint8_t> scanline, exif;
    JpegJob job;
    job.data = data.data();
    job.size = data.size();
    job.reduction = options;
    job.picture = &picture;
    job.scanline = &scanline;
    job.exif = &exif;
    decodeJpegCore(job);
    if (job.error) {
        error = std::string("JPEG: ") + job.error;
        return false;
    }
    PictureSize full{static_cast<int>(job.fullWidth), static_cast<int>(job.fullHeight)};
    if (options.applyOrientation) {
        const int orientation = exifOrientation(exif);
        applyOrientation(picture, orientation);
        if (orientation >= 5 && orientation <= 8) std::swap(full.width, full.height);  // quarter turns
    }
    if (fullSize) *fullSize = full;
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
