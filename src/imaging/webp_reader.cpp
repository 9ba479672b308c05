// WebP through libwebp: lossy and lossless stills, and the first frame of an animation
// placed on its canvas. Alpha is composited on black, as for PNG; the EXIF orientation
// a camera or converter stored in the file's EXIF chunk is applied.

#include "imaging/codec.h"

#include <cstring>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

namespace tellavine {
namespace {

struct DemuxFree { void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); } };
using Demuxer = std::unique_ptr<WebPDemuxer, DemuxFree>;

// An iterator holds nothing until it is filled; release it on every path after that.
struct FrameIterator {
    WebPIterator iterator{};
    bool filled = false;
    ~FrameIterator() {
        if (filled) WebPDemuxReleaseIterator(&iterator);
    }
};

struct ChunkIterator {
    WebPChunkIterator iterator{};
    bool filled = false;
    ~ChunkIterator() {
        if (filled) WebPDemuxReleaseChunkIterator(&iterator);
    }
};

bool fail(std::string& error, const char* why) {
    error = std::string("WebP: ") + why;
    return false;
}

// The orientation in the EXIF chunk; writers differ on whether the chunk starts with
// "Exif\0\0" (as in a JPEG) or straight with the TIFF header.
int webpOrientation(WebPDemuxer* demux) {
    ChunkIterator chunk;
    chunk.filled = WebPDemuxGetChunk(demux, "EXIF", 1, &chunk.iterator) != 0;
    if (!chunk.filled) return 0;
    std::span<const std::uint8_t> exif(chunk.iterator.chunk.bytes, chunk.iterator.chunk.size);
    if (exif.size() >= 6 && std::memcmp(exif.data(), "Exif\0\0", 6) == 0) exif = exif.subspan(6);
    return exifOrientation(exif);
}

// The decoder's own output buffer. libwebp allocates it only once the frame's headers
// and partitions are all there, so a small damaged file declaring a huge picture fails
// before any memory is taken (decoding into a buffer of ours would need it first).
struct DecodedFrame {
    WebPDecoderConfig config{};
    ~DecodedFrame() { WebPFreeDecBuffer(&config.output); }
};

// One frame's pixels, composited on black when it has alpha.
bool decodeFrame(const WebPIterator& frame, Picture& out) {
    DecodedFrame decoded;
    if (!WebPInitDecoderConfig(&decoded.config)) return false;
    const bool alpha = frame.has_alpha != 0;
    decoded.config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    if (WebPDecode(frame.fragment.bytes, frame.fragment.size, &decoded.config) != VP8_STATUS_OK) return false;
    const WebPRGBABuffer& rgb = decoded.config.output.u.RGBA;
    const int width = decoded.config.output.width, height = decoded.config.output.height;
    if (width != frame.width || height != frame.height || !rgb.rgba) return false;
    Picture picture = Picture::create(width, height);
    if (!picture.valid()) return false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgb.rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(rgb.stride);
        std::uint8_t* row = picture.row(y);
        if (!alpha) {
            std::memcpy(row, in, picture.rowBytes());
            continue;
        }
        for (int x = 0; x < width; ++x, in += 4, row += 3)
            for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((in[c] * in[3] + 127) / 255);
    }
    out = std::move(picture);
    return true;
}

}  // namespace

bool decodeWebp(std::span<const std::uint8_t> data, const DecodeOptions& options, Picture& out, std::string& error) {
    const WebPData file{data.data(), data.size()};
    Demuxer demux(WebPDemux(&file));
    if (!demux) return fail(error, "the file is damaged");
    const auto canvasWidth = static_cast<std::int64_t>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    const auto canvasHeight = static_cast<std::int64_t>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    if (!pictureSizeAllowed(canvasWidth, canvasHeight)) return fail(error, "the picture size is missing or too large");

    FrameIterator frame;
    frame.filled = WebPDemuxGetFrame(demux.get(), 1, &frame.iterator) != 0;
    if (!frame.filled || !frame.iterator.complete) return fail(error, "the file holds no whole picture");
    const WebPIterator& first = frame.iterator;
    if (first.x_offset < 0 || first.y_offset < 0 || first.x_offset + std::int64_t{first.width} > canvasWidth ||
        first.y_offset + std::int64_t{first.height} > canvasHeight)
        return fail(error, "the first frame lies outside the picture");

    Picture picture;
    if (!decodeFrame(first, picture)) return fail(error, "the picture data is damaged");
    if (picture.width() != canvasWidth || picture.height() != canvasHeight) {
        // An animation's first frame may cover part of the canvas; the rest is transparent.
        Picture canvas = Picture::create(static_cast<int>(canvasWidth), static_cast<int>(canvasHeight));
        const int fromBottom = static_cast<int>(canvasHeight) - first.y_offset - picture.height();
        canvas.mix(picture, first.x_offset, fromBottom);
        picture = std::move(canvas);
    }
    if (options.applyOrientation) applyOrientation(picture, webpOrientation(demux.get()));
    out = std::move(picture);
    return true;
}

}  // namespace tellavine
