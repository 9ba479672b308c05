// GIF through giflib: the first image drawn onto the logical screen, which starts
// black; transparent pixels stay black.

#include "imaging/codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace tellavine {
namespace {

struct GifSource {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readGif(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), source->data.size() - source->position);
    std::memcpy(out, source->data.data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The transparent colour index of the graphics control block, -1 when none.
int transparentIndex(const std::uint8_t* block, int length) {
    if (length >= 4 && (block[0] & 1)) return block[3];
    return -1;
}

}  // namespace

bool decodeGif(std::span<const std::uint8_t> data, Picture& out, std::string& error) {
    GifSource source{data};
    int code = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readGif, &code));
    if (!gif) {
        error = std::string("GIF: ") + (GifErrorString(code) ? GifErrorString(code) : "cannot open");
        return false;
    }
    if (!pictureSizeAllowed(gif->SWidth, gif->SHeight)) {
        error = "GIF: the picture size is missing or too large";
        return false;
    }
    int transparent = -1;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) break;
        if (record == TERMINATE_RECORD_TYPE) break;
        if (record == EXTENSION_RECORD_TYPE) {
            int function = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &function, &block) == GIF_ERROR) break;
            while (block) {
                if (function == GRAPHICS_EXT_FUNC_CODE) transparent = transparentIndex(block + 1, block[0]);
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
                    block = nullptr;
                    break;
                }
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) break;
        const GifImageDesc& desc = gif->Image;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || desc.Width <= 0 || desc.Height <= 0 || desc.Width > kMaxPictureSide || desc.Height > kMaxPictureSide) {
            error = "GIF: the image has no colour table or a bad size";
            return false;
        }
        Picture picture = Picture::create(gif->SWidth, gif->SHeight);
        std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
        auto drawLine = [&](int y) {
            const int py = desc.Top + y;
            if (py < 0 || py >= picture.height()) return;
            for (int x = 0; x < desc.Width; ++x) {
                const int px = desc.Left + x;
                const int index = line[static_cast<std::size_t>(x)];
                if (px < 0 || px >= picture.width() || index == transparent || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                picture.setPixel(px, py, {c.Red, c.Green, c.Blue});
            }
        };
        if (desc.Interlace) {
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) {
                    if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR) {
                        error = "GIF: the image data is damaged";
                        return false;
                    }
                    drawLine(y);
                }
        } else {
            for (int y = 0; y < desc.Height; ++y) {
                if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR) {
                    error = "GIF: the image data is damaged";
                    return false;
                }
                drawLine(y);
            }
        }
        out = std::move(picture);
        return true;
    }
    error = "GIF: the file holds no image";
    return false;
}

}  // namespace tellavine
