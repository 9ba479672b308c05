#!/usr/bin/env bash
# Installs the Debian packages Tellavine builds, tests and runs with.
# Idempotent and non-interactive: packages already present are left alone, and the
# package lists are refreshed only when something has to be installed.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config ccache
  # MPEG still encoder and multiplexer (libmpeg2encpp, libmplex2 and the CLI tools)
  mjpegtools libmjpegtools-dev
  # ID3v2 tag size
  libid3-3.8.3-dev
  # picture codecs (HEIC/AVIF through libheif, WebP through libwebp)
  libjpeg62-turbo-dev libtiff-dev libpng-dev zlib1g-dev libopenjp2-7-dev libgif-dev
  libheif-dev libwebp-dev
  # command-line parsing and JSON
  libcli11-dev nlohmann-json3-dev
  # MPEG audio decoding and Layer II encoding
  libmpg123-dev libtwolame-dev
  # caption and title text; Unicode case folding of names (glib)
  libglib2.0-dev libpango1.0-dev libcairo2-dev fontconfig fonts-liberation fonts-comic-neue fonts-dejavu
  # fallback glyphs for CJK, Arabic, Hebrew, Thai and Devanagari captions
  fonts-noto-core fonts-noto-cjk
  # desktop program
  qt6-base-dev qt6-multimedia-dev libasound2-dev
  # tests, fixtures, benchmarks and fuzzing
  googletest libgtest-dev libgmock-dev libbenchmark-dev ffmpeg libcdio-utils genisoimage
  python3-pycdlib sox lame imagemagick xvfb clang libclang-rt-14-dev time
  libheif-examples webp alsa-utils
  # a sound server with a null sink, so the player test plays through the real audio output
  pulseaudio
  # packaging and its checks
  help2man lintian appstream desktop-file-utils
)

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: all ${#packages[@]} packages are installed."
  exit 0
fi

echo "install-deps: missing: ${missing[*]}"

if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=(sudo -n)
  else
    cat >&2 <<MSG
install-deps: installing packages needs root. Run this script as root, or run:
  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}
MSG
    exit 1
  fi
else
  SUDO=()
fi

export DEBIAN_FRONTEND=noninteractive
apt_install() {
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
# Try with the lists we have; refresh them only when that fails (stale or empty lists).
if ! apt_install; then
  "${SUDO[@]}" apt-get update -q
  apt_install
fi
echo "install-deps: done."
