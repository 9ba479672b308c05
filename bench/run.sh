#!/usr/bin/env bash
# Speed and memory of the engine beside the peer pipeline, measured in one run so that
# a shared, noisy machine affects both sides alike. Prints one line per figure,
# "name value unit" (medians of several runs), then the ratios the goals are about,
# each followed by a "# goal" line.
#
# Usage: bench/run.sh [build-folder]     (default build/bench, configured and built here)
# Environment: BENCH_REPS (micro-benchmark repetitions, 3), STAGE_RUNS (runs of each
# slide-stage timing, 3), MEMORY_PHOTOS (photos of the large memory build, 500),
# BUILD_RUNS (runs of each whole 100-photo build and of the peer beside it, 3).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
reps=${BENCH_REPS:-3}
stage_runs=${STAGE_RUNS:-3}
memory_photos=${MEMORY_PHOTOS:-500}
build_runs=${BUILD_RUNS:-3}
photo_count=20
album_count=100

for tool in ffmpeg python3 taskset xargs dd /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench/run.sh needs $tool" >&2; exit 1; }
done

echo "# commit $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- src bench || echo '+changes')" \
     "on $(nproc) cores, $(date -u +%FT%TZ)"
if [[ -f $build/CMakeCache.txt ]]; then  # an existing build keeps its other options
    cmake -S "$root" -B "$build" -DTELLAVINE_BUILD_BENCH=ON >/dev/null
else
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELLAVINE_BUILD_BENCH=ON \
          -DTELLAVINE_BUILD_TESTS=OFF -DTELLAVINE_BUILD_UI=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target bench_vcd_sectors bench_vcd_layout bench_slide_frame encode_bench \
      slide_stage_bench still_quality_bench bench_project tellavine-mpegworker tellavine-cli tellavine_data >/dev/null
bin=$build/bin

# The transforms that code the stills: the worker names those that coded a still. The
# figures below mean nothing if that is the library's slow reference pair.
transforms=$("$bin/tellavine-mpegworker" --describe-transforms)
forward_dct=$(awk '$1 == "forward_dct" { print $2 }' <<<"$transforms")
inverse_dct=$(awk '$1 == "inverse_dct" { print $2 }' <<<"$transforms")
echo "# still transforms: forward $forward_dct, inverse $inverse_dct"
if [[ $forward_dct == fdct_ref || $inverse_dct == idct_ref || -z $forward_dct ]]; then
    echo "bench/run.sh: the MPEG worker codes stills with the reference DCT" >&2
    exit 1
fi

work=$(mktemp -d /tmp/tellavine-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work  # the benchmarks' scratch files

# Median of the numbers on standard input.
median() { python3 -c 'import sys, statistics; print(statistics.median(float(x) for x in sys.stdin.read().split()))'; }
# Seconds since the epoch, to the nanosecond.
now() { date +%s.%N; }
elapsed() { python3 -c "import sys; print(float(sys.argv[2]) - float(sys.argv[1]))" "$1" "$2"; }

# --- Micro-benchmarks (Google Benchmark, medians of $reps repetitions) ----------------
gbench() {  # program, then "benchmark-name figure-name kind" triples; kind: ms, us or MB/s
    local program=$1; shift
    local json=$work/$(basename "$program").json
    "$bin/$program" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
        --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
    python3 - "$json" "$@" <<'EOF'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
# Run names carry "/repeats:N" or "/real_time" after the benchmark's own name.
medians = {r["run_name"].split("/")[0]: r for r in runs if r.get("aggregate_name") == "median"}
args = sys.argv[2:]
for name, figure, kind in zip(args[0::3], args[1::3], args[2::3]):
    run = medians.get(name)
    if run is None:
        print(f"{figure} missing -")
    elif kind == "MB/s":
        print(f"{figure} {run['bytes_per_second'] / 1e6:.1f} MB/s")
    else:
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
        ms = run["real_time"] * scale
        print(f"{figure} {ms * 1000:.1f} us" if kind == "us" else f"{figure} {ms:.2f} ms")
EOF
}

micro=$work/micro.txt
{
    gbench bench_vcd_sectors BM_FormatForm1Sector format_form1 MB/s BM_FormatForm2Sector format_form2 MB/s \
        BM_Edc edc MB/s BM_Ecc ecc_form1 MB/s BM_WriteBinThroughImageSink bin_write MB/s \
        BM_WritePlainSequentialFile plain_write_in_process MB/s \
        BM_WritePlainSequentialFileSynced synced_write_in_process MB/s
    gbench bench_slide_frame decodeJpeg jpeg_decode_4000x3000 ms decodeJpegReduced jpeg_decode_4000x3000_at_quarter ms \
        resampleMode3 resample_mode3_4000x3000_to_704x528 ms \
        composeSlideFrame compose_slide_frame ms
    gbench encode_bench BM_EncodeStillHighRes encode_still_704 ms BM_EncodeStillNormalRes encode_still_352 ms \
        BM_ColourConversionHighRes colour_conversion_704 ms BM_MultiplexStillPair multiplex_still_pair ms
    gbench bench_vcd_layout BM_PsdLayoutOf99Albums psd_layout_99_albums us BM_IsoLayoutOf99Albums iso_layout_99_albums us
} | tee "$micro"
figure() { awk -v n="$1" '$1 == n { print $2 }' "$work"/*.txt; }

# dd writing the same bytes as one BIN benchmark iteration (4096 sectors), 128 KiB blocks:
# synced before it ends, as the sink syncs an image before it replaces an earlier one
# (the like-for-like figure), and left in the page cache (for information).
dd_rate() {  # name, then dd's extra options
    local name=$1; shift
    for _ in $(seq "$reps"); do
        start=$(now)
        dd if=/dev/zero of="$work/dd.bin" bs=128K count="$bin_bytes" iflag=count_bytes status=none "$@"
        end=$(now)
        python3 -c "print($bin_bytes / ($end - $start) / 1e6)"
        rm -f "$work/dd.bin"
    done | median | awk -v n="$name" '{ printf "%s %.1f MB/s\n", n, $1 }'
}
bin_bytes=$((4096 * 2352))
{ dd_rate dd_write_fsync conv=fsync; dd_rate dd_write; } | tee "$work/dd.txt"

# --- The peer pipeline and the slide stage on the same 20 photos ----------------------
# 100 distinct 4000 x 3000 camera-sized photos with sensor-like noise (a seed of their
# own each), so decoding sees real detail; the stage timings use the first 20.
samples=("$root"/samples/photos/*.jpg)
album=()
for i in $(seq 1 $album_count); do album+=("$(printf '%s/photo_%03d.jpg' "$work" "$i")"); done
for i in $(seq 1 $album_count); do
    echo "${samples[$(((i - 1) % ${#samples[@]}))]} ${album[$((i - 1))]} $i"
done | xargs -P "$(nproc)" -L 1 sh -c \
    'ffmpeg -nostdin -loglevel error -i "$0" -vf "scale=4000:3000,noise=alls=10:allf=u:all_seed=$2" -q:v 3 "$1"'
photos=("${album[@]:0:$photo_count}")

# What the fast DCT and the reduced JPEG decoding cost in quality, on six of the photos.
"$bin/still_quality_bench" "${album[@]:0:6}" | tee "$work/quality.txt"

for _ in $(seq "$stage_runs"); do
    start=$(now)
    for photo in "${photos[@]}"; do
        ffmpeg -nostdin -loglevel error -y -i "$photo" -vf "scale=704:528,pad=704:576:0:24" -frames:v 1 \
            -c:v mpeg1video -f mpeg1video "$work/peer.m1v"
    done
    end=$(now)
    python3 -c "print(1000 * ($end - $start) / $photo_count)"
done | median | awk '{ printf "ffmpeg_per_photo %.1f ms\n", $1 }' | tee "$work/ffmpeg.txt"

stage() {  # runs, photos, a prefix command (may be empty), bench options; prints the median ms per photo
    local runs=$1 count=$2 prefix=$3 options=$4
    for _ in $(seq "$runs"); do
        # shellcheck disable=SC2086  # the prefix and the options are word lists
        $prefix "$bin/slide_stage_bench" $options "$count" "${photos[@]}" | awk '$1 == "ms_per_photo" { print $2 }'
    done | median
}
# Our per-photo figure: one MPEG worker (the next photo is still composed meanwhile).
stage "$stage_runs" $photo_count "" "--workers 1" | awk '{ printf "slide_stage_per_photo %.1f ms\n", $1 }' | tee "$work/stage.txt"
# A 100-photo album on one core, then as a build runs by default on both; the two take
# turns so that a change in the machine's other load falls on both alike. CPU seconds
# (user + system, engine and workers) show how much of the cores the build got.
# Between them, the same fixed CPU work as one process and as two at once: how much a
# second core gives anything on this machine right now (2 on an idle machine), the
# ceiling for the build's own speed-up.
burn() {  # processes; prints seconds
    local start end
    start=$(now)
    for _ in $(seq "$1"); do python3 -c 's = 0
for i in range(4000000): s += i * i' & done
    wait
    end=$(now)
    elapsed "$start" "$end"
}
one_core=() both_cores=() machine=()
for _ in $(seq "$stage_runs"); do
    one_core+=("$(stage 1 100 "taskset -c 0" "")")
    one=$(burn 1) two=$(burn 2)
    machine+=("$(python3 -c "print(2 * $one / $two)")")
    both_cores+=("$(stage 1 100 "" "")")
done
printf '%s\n' "${machine[@]}" | median | awk '{ printf "machine_two_process_throughput %.2f x\n", $1 }' | tee -a "$work/stage.txt"
printf '%s\n' "${one_core[@]}" | median | awk '{ printf "build_100_one_core_per_photo %.1f ms\n", $1 }' | tee -a "$work/stage.txt"
printf '%s\n' "${both_cores[@]}" | median | awk '{ printf "build_100_both_cores_per_photo %.1f ms\n", $1 }' | tee -a "$work/stage.txt"
/usr/bin/time -f "%U %S" "$bin/slide_stage_bench" 100 "${photos[@]}" 2>&1 >/dev/null | tail -1 |
    awk '{ printf "build_100_cpu_per_photo %.1f ms\n", ($1 + $2) * 10 }' | tee -a "$work/stage.txt"

# Peak resident size of engine and workers (the largest process of the run).
peak_kb() {
    /usr/bin/time -v "$bin/slide_stage_bench" "$1" "${photos[@]}" 2>&1 >/dev/null |
        awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}
# An MPEG worker grows with every still (its encoder library leaks) until it reaches its
# memory budget and a fresh one takes over, some dozens of photos into a build; from there
# the peak no longer depends on the album's length. 20 photos may stay below that ceiling
# (for information); 100 against $memory_photos is the figure that shows whether memory grows.
echo "peak_memory_20_photos $(peak_kb 20) KB" | tee "$work/memory.txt"
echo "peak_memory_100_photos $(peak_kb 100) KB" | tee -a "$work/memory.txt"
echo "peak_memory_${memory_photos}_photos $(peak_kb "$memory_photos") KB" | tee -a "$work/memory.txt"

# --- Whole builds of a 100-photo album beside the peer --------------------------------
# tellavine-cli builds the disc image of one album of the 100 photos (menus, the photos
# on the disc, the BIN written), with one lane (pinned to one core, where the build
# takes one lane) and with two (both cores, the build's default); the peer codes the
# same photos one process each, on one core and two at a time. The four take turns.
project=$work/album.ovp
"$bin/bench_project" "$project" "${album[@]}"
whole_build() {  # prefix command (may be empty); prints "seconds peak-KB"
    local start end
    rm -rf "$work/disc.cue" "$work/disc.bin" "$work/build-temp"
    mkdir -p "$work/build-temp"
    start=$(now)
    # shellcheck disable=SC2086  # the prefix is a word list
    /usr/bin/time -f "%M" -o "$work/build-peak.txt" $1 "$bin/tellavine-cli" build "$project" -o "$work/disc.cue" \
        --pal --yes --temp "$work/build-temp" >"$work/build.log" 2>&1 ||
        { echo "bench/run.sh: the 100-photo build failed:" >&2; tail -5 "$work/build.log" >&2; exit 1; }
    end=$(now)
    echo "$(elapsed "$start" "$end") $(tail -1 "$work/build-peak.txt")"
}
peer_album() {  # prefix command (may be empty), processes at once; prints seconds
    local start end
    start=$(now)
    # shellcheck disable=SC2086  # the prefix is a word list
    printf '%s\n' "${album[@]}" | $1 xargs -P "$2" -I{} sh -c \
        'ffmpeg -nostdin -loglevel error -y -i "$1" -vf "scale=704:528,pad=704:576:0:24" -frames:v 1 -c:v mpeg1video -f mpeg1video "$1.m1v"' sh {}
    end=$(now)
    rm -f "$work"/photo_*.jpg.m1v
    elapsed "$start" "$end"
}
one_lane=() two_lanes=() peer_one=() peer_two=()
for _ in $(seq "$build_runs"); do
    one_lane+=("$(whole_build "taskset -c 0")")
    peer_one+=("$(peer_album "taskset -c 0" 1)")
    two_lanes+=("$(whole_build "")")
    peer_two+=("$(peer_album "" 2)")
done
{
    printf '%s\n' "${one_lane[@]}" | awk '{ print $1 }' | median | awk -v n=$album_count \
        '{ printf "build_100_one_lane %.2f s\nbuild_100_one_lane_photos_per_second %.1f photos/s\n", $1, n / $1 }'
    printf '%s\n' "${one_lane[@]}" | awk '{ print $2 }' | median | awk '{ printf "build_100_one_lane_peak_memory %d KB\n", $1 }'
    printf '%s\n' "${two_lanes[@]}" | awk '{ print $1 }' | median | awk -v n=$album_count \
        '{ printf "build_100_two_lanes %.2f s\nbuild_100_two_lanes_photos_per_second %.1f photos/s\n", $1, n / $1 }'
    printf '%s\n' "${two_lanes[@]}" | awk '{ print $2 }' | median | awk '{ printf "build_100_two_lanes_peak_memory %d KB\n", $1 }'
    printf '%s\n' "${peer_one[@]}" | median | awk '{ printf "ffmpeg_100_one_core %.2f s\n", $1 }'
    printf '%s\n' "${peer_two[@]}" | median | awk '{ printf "ffmpeg_100_two_at_once %.2f s\n", $1 }'
} | tee "$work/build.txt"

# --- Ratios ---------------------------------------------------------------------------
ratio() {  # name, numerator, denominator, goal text
    python3 -c "print(f'$1 {float(\"$2\") / float(\"$3\"):.3f} x')"
    echo "# goal $1 $4"
}
echo "# ratios"
difference() {  # name, minuend, subtrahend, goal text
    python3 -c "print(f'$1 {float(\"$2\") - float(\"$3\"):.2f} dB')"
    echo "# goal $1 $4"
}
difference fast_minus_reference_dct_psnr "$(figure still_psnr_fast_dct)" "$(figure still_psnr_reference_dct)" ">= -0.3 dB"
difference reduced_minus_whole_decoding_psnr "$(figure still_psnr_fast_dct)" "$(figure still_psnr_whole_decoding)" \
    "(for information: both shortcuts against neither)"
ratio build_100_two_lanes_vs_5_s "$(figure build_100_two_lanes)" 5 "<= 1"
ratio build_100_one_lane_vs_ffmpeg_one_core "$(figure build_100_one_lane)" "$(figure ffmpeg_100_one_core)" \
    "<= 0.3 (time per photo on one core)"
ratio build_100_two_lanes_vs_ffmpeg_two_at_once "$(figure build_100_two_lanes)" "$(figure ffmpeg_100_two_at_once)" \
    "(for information)"
ratio build_100_two_lanes_speedup "$(figure build_100_one_lane)" "$(figure build_100_two_lanes)" ">= 1.7"
ratio build_100_speedup_vs_machine_ceiling \
    "$(python3 -c "print($(figure build_100_one_lane) / $(figure build_100_two_lanes))")" \
    "$(figure machine_two_process_throughput)" "(the speed-up the machine allowed; 1.7 / 2 = 0.85 on an idle one)"
ratio stage_vs_ffmpeg_per_photo "$(figure slide_stage_per_photo)" "$(figure ffmpeg_per_photo)" "<= 0.5"
ratio both_cores_speedup_100_photos "$(figure build_100_one_core_per_photo)" "$(figure build_100_both_cores_per_photo)" ">= 1.7"
ratio both_cores_speedup_vs_machine_ceiling "$(python3 -c "print($(figure build_100_one_core_per_photo) / $(figure build_100_both_cores_per_photo))")" \
    "$(figure machine_two_process_throughput)" "(the speed-up the machine allowed; 1.7 / 2 = 0.85 on an idle one)"
ratio bin_write_vs_dd_fsync "$(figure bin_write)" "$(figure dd_write_fsync)" ">= 0.9 (both synced)"
ratio bin_write_vs_synced_in_process "$(figure bin_write)" "$(figure synced_write_in_process)" ">= 0.9 (both synced)"
ratio bin_write_vs_dd_unsynced "$(figure bin_write)" "$(figure dd_write)" "(for information: dd leaves its bytes in the page cache)"
ratio form2_vs_1_GB_per_s "$(figure format_form2)" 1000 ">= 1"
ratio form1_vs_300_MB_per_s "$(figure format_form1)" 300 ">= 1"
ratio memory_${memory_photos}_vs_100_photos "$(figure peak_memory_${memory_photos}_photos)" "$(figure peak_memory_100_photos)" "<= 1.2"
ratio memory_${memory_photos}_vs_20_photos "$(figure peak_memory_${memory_photos}_photos)" "$(figure peak_memory_20_photos)" \
    "(for information: 20 photos end before the workers reach their memory budget)"
