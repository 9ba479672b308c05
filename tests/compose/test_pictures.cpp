#include "compose/test_pictures.h"

#include "platform/bytes.h"

#include <fstream>

namespace tellavine::testing {

bool writeBmp(const std::string& path, const Picture& picture) {
    const std::size_t stride = (static_cast<std::size_t>(picture.width()) * 3 + 3) / 4 * 4;
    const std::size_t bitsSize = stride * picture.height();
    ByteWriter out;
    out.u16le(0x4D42);
    out.u32le(static_cast<std::uint32_t>(54 + bitsSize));
    out.u32le(0);
    out.u32le(54);
    out.u32le(40);
    out.i32le(picture.width());
    out.i32le(picture.height());
    out.u16le(1);
    out.u16le(24);
    out.fill(24);
    for (int y = picture.height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb c = picture.pixel(x, y);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
        }
        out.fill(stride - static_cast<std::size_t>(picture.width()) * 3);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data().data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

Picture solidPicture(int width, int height, Rgb colour) {
    Picture picture = Picture::create(width, height);
    picture.clear(colour);
    return picture;
}

}  // namespace tellavine::testing
