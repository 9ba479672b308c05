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
sources="$root/src/audio/*.cpp $root/src/platform/bytes.cpp"
for harness in mp3_scan_fuzz wav_reader_fuzz; do
    clang++ $flags -o "$out/$harness" "$here/$harness.cpp" $sources -lmpg123 -lid3
done
for harness in mp3_scan_fuzz:mp3 wav_reader_fuzz:wav; do
    name=${harness%%:*}
    seeds=${harness##*:}
    mkdir -p "$out/corpus-$seeds"
    "$out/$name" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=1024 \
        "$out/corpus-$seeds" "$here/corpus/$seeds"
done
