#!/bin/sh
# Builds the music reader fuzz harnesses with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a while on the seed corpus.
# Usage: fuzz/audio/run.sh [seconds per harness, default 60]
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${FUZZ_OUT:-$root/build/fuzz-audio}
mkdir -p "$out"
flags="-g -O1 -std=c++20 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root/src"
sources="$root/src/audio/*.cpp $root/src/platform/bytes.cpp $root/src/platform/file.cpp $root/src/platform/regular_file.cpp $root/src/platform/event.cpp"
names=${FUZZ_NAMES:-mp3_scan wav_reader playback}
for name in $names; do
    clang++ $flags -o "$out/fuzz_$name" "$here/${name}_fuzzer.cpp" $sources -lmpg123 -lid3 -lasound
done
for name in $names; do
    mkdir -p "$out/corpus-$name"
    "$out/fuzz_$name" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=1024 \
        "$out/corpus-$name" "$here/corpus/$name"
done
