#!/usr/bin/env bash
# Authors the demo disc from the bundled sample photographs (samples/photos, see its
# COPYING) and music made here with sox and lame: three albums (one with background
# music), captions, a portrait photo rotated, and menu music.
#   scripts/make-demo.sh [--project-only] [BUILD_DIR [OUT_DIR]]
#       BUILD_DIR defaults to build/default, OUT_DIR to build/demo; --project-only writes
#       the music and demo.ovp into OUT_DIR without building the disc.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
project_only=0
if [[ ${1:-} == --project-only ]]; then project_only=1; shift; fi
build=${1:-$top/build/default}
cli=$build/bin/tellavine-cli
out=${2:-$top/build/demo}
photos=$top/samples/photos
mkdir -p "$out"

# Music: a soft arpeggio for the menu (MP3) and a slower one for the garden album (WAV).
arpeggio() {  # file seconds notes...
  local file=$1 seconds=$2; shift 2
  local parts=()
  for note in "$@"; do parts+=(synth 0.5 pluck "$note" :); done
  unset 'parts[${#parts[@]}-1]'
  sox -q -n -r 44100 -c 2 -b 16 "$out/.note.wav" "${parts[@]}"
  local repeats=$(( seconds * 2 / $# ))
  sox -q "$out/.note.wav" "$file" repeat "$repeats" fade t 0.2 "$seconds" 1 gain -n -3
  rm -f "$out/.note.wav"
}
arpeggio "$out/menu.wav" 12 C4 E4 G4 C5 G4 E4
lame --quiet -b 192 "$out/menu.wav" "$out/menu-music.mp3"
rm -f "$out/menu.wav"
arpeggio "$out/garden-music.wav" 24 A3 C4 E4 A4 E4 C4

cat > "$out/demo.json" <<JSON
{
  "template": "template\\\\classic.ini",
  "menu_music": "$out/menu-music.mp3",
  "albums": [
    {"name": "Little Creatures", "play_time": 4, "slides": [
      {"path": "$photos/ladybird.jpg", "caption": {"text": "A ladybird on its way", "align": 4}},
      {"path": "$photos/two_wings_portrait.jpg"},
      {"path": "$photos/rain_drops.jpg", "caption": {"text": "After the rain", "align": 0, "face": "Arial", "weight": 400}}
    ]},
    {"name": "Garden", "play_time": 6, "music": "$out/garden-music.wav", "slides": [
      {"path": "$photos/garden.jpg"},
      {"path": "$photos/yellow_flower_portrait.jpg", "caption": {"text": "Yellow flower", "align": 5}},
      {"path": "$photos/fresh_flower.jpg"},
      {"path": "$photos/green_meadow.jpg"}
    ]},
    {"name": "Weather and Sand", "play_time": 5, "slides": [
      {"path": "$photos/storm.jpg", "caption": {"text": "Storm coming", "align": 1}},
      {"path": "$photos/dune.jpg"},
      {"path": "$photos/aqua.jpg", "rotation": 90},
      {"path": "$photos/wood.jpg"}
    ]}
  ]
}
JSON
python3 "$top/scripts/write-project.py" "$out/demo.json" "$out/demo.ovp"
[[ $project_only == 1 ]] && exit 0

"$cli" build "$out/demo.ovp" -o "$out/demo.cue" --yes --temp "$out/temp"
echo
echo "Demo disc: $out/demo.cue and $out/demo.bin"
"$cli" inspect "$out/demo.cue" || true
