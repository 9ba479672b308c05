#!/usr/bin/env bash
# Peak memory of `tellavine-cli build` for a 20-photo and a 500-photo album: the build
# keeps one photo in work at a time, so the two peaks should stay within 20 % of each
# other. Peak resident set sizes from /usr/bin/time -v (the CLI and the worker it reaps).
#   bench/memory-flat.sh [BUILD_DIR (build/default)] [SMALL (20)] [LARGE (500)]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/default}
small=${2:-20}
large=${3:-500}
cli=$build/bin/tellavine-cli
work=$(mktemp -d "${TMPDIR:-/tmp}/tellavine-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT
mapfile -t samples < <(ls "$top"/samples/photos/*.jpg)
# Every slide its own file (links to the bundled samples), as in a real album.
mkdir -p "$work/photos"
for ((i = 0; i < (large > small ? large : small); ++i)); do
  ln -s "${samples[i % ${#samples[@]}]}" "$work/photos/photo-$i.jpg"
done

peak_kib() {  # photos -> prints the peak RSS in KiB and the wall time
  local count=$1 json="$work/album-$1.json"
  {
    printf '{"albums": [{"name": "Album of %d", "play_time": 2, "slides": [' "$count"
    for ((i = 0; i < count; ++i)); do
      ((i > 0)) && printf ', '
      printf '{"path": "%s"}' "$work/photos/photo-$i.jpg"
    done
    printf ']}]}\n'
  } >"$json"
  python3 "$top/scripts/write-project.py" "$json" "$work/album-$count.ovp"
  mkdir -p "$work/temp-$count"
  /usr/bin/time -v "$cli" build "$work/album-$count.ovp" -o "$work/album-$count.cue" --yes \
    --temp "$work/temp-$count" --no-photo-files >"$work/log-$count.txt" 2>&1 || {
    cat "$work/log-$count.txt" >&2
    return 1
  }
  local kib wall
  kib=$(grep 'Maximum resident set size' "$work/log-$count.txt" | awk '{print $NF}')
  wall=$(grep 'Elapsed (wall clock) time' "$work/log-$count.txt" | awk '{print $NF}')
  rm -f "$work/album-$count.bin"
  echo "$kib $wall"
}

read -r small_kib small_wall < <(peak_kib "$small")
read -r large_kib large_wall < <(peak_kib "$large")
printf '%4d photos: peak RSS %7d KiB (%s)\n' "$small" "$small_kib" "$small_wall"
printf '%4d photos: peak RSS %7d KiB (%s)\n' "$large" "$large_kib" "$large_wall"
ratio=$(awk -v a="$large_kib" -v b="$small_kib" 'BEGIN { printf "%.3f", a / b }')
echo "ratio $ratio (goal: at most 1.200)"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.2) }'
