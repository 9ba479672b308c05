#!/bin/sh
# Makes the stock MPEG files that ship in data/:
#   temp_x.npal / temp_x.ntsc    normal-resolution VCD stills (352 x 288 / 352 x 240),
#                                the normal-resolution half of photo segments and menus
#   avseq01.npal / avseq01.ntsc  a short VCD program stream (352 x 288 at 25 fps /
#                                352 x 240 at 29.97 fps, MPEG-1 Layer II at 44.1 kHz),
#                                the video track every disc carries
# All are a quiet title card made with ImageMagick and encoded with the mjpegtools
# command-line tools. The output is the same bytes on every run with the same tools.
#
# Usage: scripts/make-stock-mpeg.sh [output folder]   (default: data/)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../data}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
seconds=3

# card <width> <height> <file.ppm>: the program's name on a deep blue gradient.
card() {
    convert-im6.q16 -size "$1x$2" gradient:'#24345f-#0b1128' \
        -font "$bold" -fill '#f1e7cf' -gravity center -pointsize $(($2 / 7)) \
        -annotate +0-$(($2 / 20)) 'Tellavine' \
        -font "$font" -fill '#9fb0d6' -pointsize $(($2 / 18)) \
        -annotate +0+$(($2 / 8)) 'Video CD' \
        -strip -depth 8 "ppm:$3"
}

# still <height> <norm p|n> <output>
still() {
    card 352 "$1" "$work/still.ppm"
    ppmtoy4m -v 0 -F 25:1 -A 59:54 -S 420jpeg "$work/still.ppm" |
        mpeg2enc -v 0 -f 6 -a 2 -F 3 -n "$2" -T 40 -o "$3"
}

# sequence <height> <norm p|n> <frame rate> <frames> <output>
sequence() {
    card 352 "$1" "$work/card.ppm"
    ppmtoy4m -v 0 -F "$3" -A 59:54 -S 420jpeg -n "$4" -r "$work/card.ppm" |
        mpeg2enc -v 0 -f 1 -a 2 -n "$2" -o "$work/video.m1v"
    mplex -v 0 -f 1 -o "$5" "$work/video.m1v" "$work/audio.mp2"
}

# A soft major chord that fades in and out (no dither, so every run gives the same bytes).
sox -q -D -n -r 44100 -c 2 -b 16 "$work/audio.wav" \
    synth $seconds sine 261.63 sine 329.63 sine 392.00 remix 1,2,3 1,2,3 \
    fade q 0.8 $seconds 1.2 vol 0.15
mp2enc -v 0 -V -b 224 -o "$work/audio.mp2" < "$work/audio.wav"

still 288 p "$out/temp_x.npal"
still 240 n "$out/temp_x.ntsc"
sequence 288 p 25:1 $((seconds * 25)) "$out/avseq01.npal"
sequence 240 n 30000:1001 $((seconds * 30000 / 1001)) "$out/avseq01.ntsc"
