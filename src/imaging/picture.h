#pragma once
// A decoded picture: 24-bit RGB, rows top-down, three bytes per pixel (R, G, B) with no
// row padding. Palettised and grey input is expanded when it is read, so every picture
// the program handles has this one layout. Move-only: pictures are large.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tellavine {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Readers refuse anything larger, so a hostile header cannot make us allocate gigabytes.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = 128LL * 1024 * 1024;  // 384 MiB of RGB

// True when a picture of this size may be allocated.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

class Picture {
public:
    Picture() = default;
    Picture(Picture&&) noexcept = default;
    Picture& operator=(Picture&&) noexcept = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // A black picture, or an invalid one when the size is zero, negative or too large.
    static Picture create(int width, int height);
    Picture clone() const;

    bool valid() const { return width_ > 0 && height_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return valid() ? 24 : 0; }
    std::size_t byteSize() const { return pixels_.size(); }
    std::size_t rowBytes() const { return static_cast<std::size_t>(width_) * 3; }

    // Row y counted from the top.
    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * rowBytes(); }
    const std::uint8_t* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    void clear(Rgb colour = {});

    // Lossless quarter and half turns; left is counter-clockwise.
    void rotateLeft();
    void rotateRight();
    void rotate180();
    void flipHorizontal();
    void flipVertical();
    void transpose();  // mirror along the top-left to bottom-right diagonal

    // Resampling mode 3: area-weighted average when both dimensions shrink, bilinear
    // interpolation otherwise. Same size returns at once; a zero or negative size, or one
    // too large to allocate, is refused (false) and leaves the picture unchanged.
    bool resample(int width, int height);

    // Copies every pixel (sx, sy) of `source` to (x + sx, y + sy) of this picture with rows
    // counted from the bottom edge of both; pixels that fall outside are dropped.
    void mix(const Picture& source, int x, int yFromBottom);

private:
    Picture(int width, int height);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// Applies an EXIF/TIFF orientation (1..8) so the picture shows upright; other values
// leave it as it is.
void applyOrientation(Picture& picture, int orientation);

}  // namespace tellavine
