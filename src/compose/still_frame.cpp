#include "compose/still_frame.h"

#include "platform/bytes.h"

namespace tellavine {

Rgb StillFrame::pixelFromTop(int x, int y) const {
    const std::uint8_t* p = bits.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes() + static_cast<std::size_t>(x) * 3;
    return {p[2], p[1], p[0]};
}

std::vector<std::uint8_t> StillFrame::bitmapInfoHeader() const {
    ByteWriter out(40);
    out.u32le(40);                                   // biSize
    out.i32le(width);                                // biWidth
    out.i32le(height);                               // biHeight: positive, rows bottom-up
    out.u16le(1);                                    // biPlanes
    out.u16le(24);                                   // biBitCount
    out.u32le(0);                                    // biCompression: BI_RGB
    out.u32le(static_cast<std::uint32_t>(bits.size()));  // biSizeImage
    out.u32le(0);                                    // biXPelsPerMeter
    out.u32le(0);                                    // biYPelsPerMeter
    out.u32le(0);                                    // biClrUsed
    out.u32le(0);                                    // biClrImportant
    return out.take();
}

StillFrame makeStillFrame(const Picture& picture, StillResolution resolution) {
    StillFrame frame;
    if (!picture.valid()) return frame;
    frame.width = picture.width();
    frame.height = picture.height();
    frame.resolution = resolution;
    frame.bits.assign(frame.rowBytes() * static_cast<std::size_t>(frame.height), 0);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* out = frame.bits.data() + static_cast<std::size_t>(frame.height - 1 - y) * frame.rowBytes();
        for (int x = 0; x < frame.width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return frame;
}

Picture pictureFromStillFrame(const StillFrame& frame) {
    if (!frame.valid()) return {};
    Picture picture = Picture::create(frame.width, frame.height);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) picture.setPixel(x, y, frame.pixelFromTop(x, y));
    return picture;
}

}  // namespace tellavine
