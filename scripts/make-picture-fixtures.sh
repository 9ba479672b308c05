#!/usr/bin/env bash
# Writes picture fixtures in every format and depth the decoder reads, each with
# ImageMagick's own decoding of it as raw 8-bit RGB, into the folder named by $1.
# manifest.txt lists: <picture> <reference.rgb> <width> <height> <allowed mean error>
# (0 for lossless formats). Used by the imaging tests; nothing here is downloaded.
set -euo pipefail
out=${1:?usage: make-picture-fixtures.sh <folder>}
im=${IM:-convert-im6.q16}
export MAGICK_THREAD_LIMIT=1  # one thread per call is much faster for small pictures
mkdir -p "$out"
cd "$out"
: > manifest.txt

# The "photo": odd size (row padding), smooth gradients, hard edges and a few colours.
$im -size 101x67 gradient:'#2050e0-#f0c040' \
    \( -size 101x67 gradient:'#ff000000-#00ff0080' -rotate 90 -resize 101x67! \) -composite \
    -fill '#10a040' -draw 'circle 30,30 30,12' -fill white -draw 'rectangle 60,8 90,20' \
    -fill black -draw 'line 0,66 100,0' -alpha off -depth 8 photo.png
# 16-bit samples whose low byte is not a copy of the high byte.
$im photo.png -depth 16 -evaluate Add 37 -depth 16 photo16.png
# A version with transparency for formats that carry alpha.
$im photo.png \( -size 101x67 radial-gradient:white-black \) -alpha off -compose CopyOpacity -composite -depth 8 photo_alpha.png

# add <name> <error> <reference options...> : writes the reference of <name> and a line.
add() {
  local name=$1 error=$2
  local file=${name%%\[*}  # "anim.gif[0]" reads the first frame of anim.gif
  shift 2
  local size
  size=$($im "$name" "$@" -depth 8 -format '%w %h\n' -write info:- "rgb:$file.rgb" | head -n1)
  echo "$file $file.rgb $size $error" >> manifest.txt
}

# add_decoded <name> <decoded picture> <error> <reference options...> : as add, with the
# reference made from another program's decoding of <name>.
add_decoded() {
  local name=$1 decoded=$2 error=$3
  shift 3
  local size
  size=$($im "$decoded" "$@" -depth 8 -format '%w %h\n' -write info:- "rgb:$name.rgb" | head -n1)
  echo "$name $name.rgb $size $error" >> manifest.txt
}

# JPEG: colour, grey, CMYK (Adobe), progressive.
$im photo.png -quality 92 jpeg_rgb.jpg;                          add jpeg_rgb.jpg 3
$im photo.png -colorspace Gray -quality 92 jpeg_gray.jpg;         add jpeg_gray.jpg 3
$im photo.png -colorspace CMYK -quality 95 jpeg_cmyk.jpg;         add jpeg_cmyk.jpg 4 -colorspace sRGB
$im photo.png -interlace JPEG -quality 92 jpeg_progressive.jpg;   add jpeg_progressive.jpg 3

# PNG: every colour type, 16 bits, interlacing, alpha composited on black.
$im photo.png PNG24:png_rgb.png;                                 add png_rgb.png 0
$im photo16.png PNG48:png_rgb16.png;                     add png_rgb16.png 0
$im photo.png -colors 200 PNG8:png_palette.png;                  add png_palette.png 0
$im photo.png -colorspace Gray PNG:png_gray.png;                 add png_gray.png 0
$im photo.png -colorspace Gray -depth 8 -depth 16 -evaluate Add 37 png_gray16.png;         add png_gray16.png 0
$im photo.png -monochrome png_bilevel.png;                       add png_bilevel.png 0
$im photo.png -interlace PNG PNG24:png_interlaced.png;           add png_interlaced.png 0
$im photo_alpha.png PNG32:png_rgba.png;                          add png_rgba.png 1 -background black -flatten
$im photo_alpha.png -colorspace Gray PNG:png_gray_alpha.png;     add png_gray_alpha.png 1 -background black -flatten

# TIFF: strips and tiles, 8 and 16 bits, palette, grey, bilevel, compressions.
$im photo.png -compress None tiff_rgb.tif;                       add tiff_rgb.tif 0
$im photo16.png -compress LZW -depth 16 tiff_rgb16.tif;            add tiff_rgb16.tif 0
$im photo.png -compress Zip -define tiff:tile-geometry=32x32 tiff_tiled.tif; add tiff_tiled.tif 0
# libtiff cuts 16-bit colour maps to 8 bits; 8-bit colours keep the comparison exact.
$im photo.png -colors 60 -depth 8 -type Palette tiff_palette.tif;         add tiff_palette.tif 0
$im photo.png -colorspace Gray tiff_gray.tif;                    add tiff_gray.tif 0
$im photo.png -monochrome -compress Group4 tiff_bilevel.tif;     add tiff_bilevel.tif 0
$im photo.png -orient RightTop tiff_oriented.tif;                add tiff_oriented.tif 0 -auto-orient

# GIF: first frame, interlaced, transparency.
$im photo.png -colors 128 gif_plain.gif;                         add gif_plain.gif 0
$im photo.png -colors 64 -interlace GIF gif_interlaced.gif;      add gif_interlaced.gif 0
$im photo_alpha.png -channel A -threshold 50% +channel -colors 64 gif_transparent.gif; add gif_transparent.gif 0 -background black -flatten
$im photo.png -colors 32 \( photo.png -negate -colors 32 \) gif_animated.gif; add 'gif_animated.gif[0]' 0

# BMP: 1, 4, 8 bits with palettes, RLE8, 16 bits (565 and 555), 24 and 32 bits.
$im photo.png -monochrome BMP3:bmp_1bit.bmp;                     add bmp_1bit.bmp 0
$im photo.png -colors 16 -type Palette BMP3:bmp_4bit.bmp;        add bmp_4bit.bmp 0
$im photo.png -colors 200 -type Palette BMP3:bmp_8bit.bmp;       add bmp_8bit.bmp 0
$im photo.png -colors 200 -type Palette -compress RLE BMP3:bmp_rle8.bmp; add bmp_rle8.bmp 0
$im photo.png -define bmp:subtype=RGB565 BMP:bmp_565.bmp;        add bmp_565.bmp 0
$im photo.png -define bmp:subtype=RGB555 BMP:bmp_555.bmp;        add bmp_555.bmp 0
$im photo.png -type TrueColor BMP3:bmp_24bit.bmp;                add bmp_24bit.bmp 0
$im photo_alpha.png -type TrueColorAlpha BMP:bmp_32bit.bmp;      add bmp_32bit.bmp 0 -alpha off
$im photo.png BMP2:bmp_os2.bmp;                                  add bmp_os2.bmp 0

# PCX: 24 bits, 256 colours, black and white.
$im photo.png -type TrueColor pcx_24bit.pcx;                     add pcx_24bit.pcx 0
$im photo.png -colors 200 -type Palette pcx_8bit.pcx;            add pcx_8bit.pcx 0
$im photo.png -monochrome pcx_1bit.pcx;                          add pcx_1bit.pcx 0
$im photo.png -colors 16 -type Palette pcx_16colour.pcx;         add pcx_16colour.pcx 0

# TGA: true colour, RLE, 32 bits, colour-mapped, grey. ImageMagick 6 writes the rows top
# first but leaves the origin bit at bottom-left, and reads rows in file order, only
# recording the origin; -auto-orient gives what a reader that honours the origin shows.
$im photo.png -compress None tga_24bit.tga;                      add tga_24bit.tga 0 -auto-orient
$im photo.png -compress RLE tga_rle.tga;                         add tga_rle.tga 0 -auto-orient
$im photo_alpha.png -compress None tga_32bit.tga;                add tga_32bit.tga 0 -alpha off -auto-orient
$im photo.png -colors 100 -type Palette tga_mapped.tga;          add tga_mapped.tga 0 -auto-orient
$im photo.png -colors 100 -type Palette -compress RLE tga_mapped_rle.tga; add tga_mapped_rle.tga 0 -auto-orient
$im photo.png -colorspace Gray -compress RLE tga_gray.tga;       add tga_gray.tga 0 -auto-orient

# WBMP and JPEG 2000.
$im photo.png wbmp_bilevel.wbmp;                                  add wbmp_bilevel.wbmp 0
$im photo.png -quality 40 jp2_file.jp2;                           add jp2_file.jp2 3
$im photo.png -quality 40 j2k_codestream.j2k;                     add j2k_codestream.j2k 3

# HEIC, AVIF and WebP, made by the libraries' own tools (heif-enc, cwebp, img2webp);
# ImageMagick reads them through the same libraries, so its decoding checks how our
# readers take the pixels out (strides, channel order, alpha, bit depth).
heif-enc -q 90 photo.png -o heic_photo.heic >/dev/null;              add heic_photo.heic 1
# ImageMagick 6 drops a HEIF's alpha; libheif's own heif-convert keeps it.
heif-enc -q 90 photo_alpha.png -o heic_alpha.heic >/dev/null
heif-convert heic_alpha.heic heic_alpha_decoded.png >/dev/null;       add_decoded heic_alpha.heic heic_alpha_decoded.png 2 -background black -flatten
heif-enc -q 90 -b 10 photo16.png -o heic_10bit.heic >/dev/null;      add heic_10bit.heic 2 -depth 8
heif-enc -q 90 photo.png -o avif_photo.avif >/dev/null;              add avif_photo.avif 1
cwebp -quiet -q 90 photo.png -o webp_lossy.webp;                     add webp_lossy.webp 0
cwebp -quiet -lossless photo.png -o webp_lossless.webp;              add webp_lossless.webp 0
cwebp -quiet -lossless -exact photo_alpha.png -o webp_alpha.webp;    add webp_alpha.webp 1 -background black -flatten
$im photo.png -negate photo_negative.png
img2webp -loop 0 -lossless photo.png photo_negative.png -o webp_animated.webp >/dev/null 2>&1; add 'webp_animated.webp[0]' 0
