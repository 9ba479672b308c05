#!/usr/bin/env bash
# Runs every libFuzzer harness of a fuzz build tree, each on a working copy of its seed
# corpus, at the lowest priority, and summarises what each found and how much processor
# time it had.
#   fuzz/run-all.sh [BUILD_DIR (build/fuzz)] [SECONDS per harness (1800)] [OUT_DIR]
# FUZZ_JOBS=N runs N harnesses at a time (default: all at once; on a machine with N
# cores, FUZZ_JOBS=N gives each its own core, so wall-clock time is processor time).
# A corpus left in OUT_DIR/<harness>/corpus by an earlier run is carried on.
# FUZZ_ONLY="fuzz_a fuzz_b" runs only those harnesses; FUZZ_UNIT_TIMEOUT (300 s) is the
# time one input may take: generous, because at nice 19 on a busy machine a harness can
# wait tens of seconds for the processor (a rerun tells a real hang from that).
# Configure the build tree as the comment atop fuzz/CMakeLists.txt says. Crashes land in
# OUT_DIR/<harness>/ as crash-*, leak-*, timeout-* or oom-* files, logs in OUT_DIR/<harness>.log.
# FUZZ_CPU_SECONDS=S ends each harness once it has had S seconds of processor time, SECONDS
# of wall time then being only a ceiling: at nice 19 on a shared machine a harness gets a
# small share of a core, and what counts is the processor time it had.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/fuzz}" && pwd)
seconds=${2:-1800}
out=${3:-$build/fuzz-runs}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# harness:seed corpus folder (relative to fuzz/)
harnesses=(
  fuzz_mp3_scan:audio/corpus/mp3_scan
  fuzz_wav_reader:audio/corpus/wav_reader
  fuzz_cue_image:cli/corpus/cue_image
  fuzz_project_json:cli/corpus/project_json
  fuzz_exif_date:imaging/corpus/exif_date
  fuzz_menu_template:compose/corpus
  mpeg_input_probe_fuzz:encode/corpus
  worker_reply_fuzz:encode/corpus
  fuzz_picture_bmp:imaging/corpus/bmp
  fuzz_picture_gif:imaging/corpus/gif
  fuzz_picture_heif:imaging/corpus/heif
  fuzz_picture_jpeg:imaging/corpus/jpeg
  fuzz_picture_jpeg2000:imaging/corpus/jpeg2000
  fuzz_picture_pcx:imaging/corpus/pcx
  fuzz_picture_png:imaging/corpus/png
  fuzz_picture_tga:imaging/corpus/tga
  fuzz_picture_tiff:imaging/corpus/tiff
  fuzz_picture_wbmp:imaging/corpus/wbmp
  fuzz_picture_webp:imaging/corpus/webp
  fuzz_project_file:project/corpus/project
  fuzz_old_project_file:project/corpus/old_project
  fuzz_settings_file:project/corpus/settings
  fuzz_emulated_recorder:recorder/corpus/emulated_recorder
  fuzz_raw_cue_sheet:recorder/corpus/raw_cue_sheet
  fuzz_mpeg_scan:vcd/corpus/mpeg_scan
)

unit_timeout=${FUZZ_UNIT_TIMEOUT:-300}
cpu_limit=${FUZZ_CPU_SECONDS:-}

# Interrupts the harness that /usr/bin/time process $1 runs once the harness has had
# $cpu_limit seconds of user + system time (libFuzzer then prints its final statistics
# and exits); returns when the run ends either way.
stop_at_cpu_limit() {
  local timer=$1 ticks harness used
  ticks=$(getconf CLK_TCK)
  while kill -0 "$timer" 2>/dev/null; do
    harness=$(pgrep -P "$timer" | head -1)
    # utime and stime are fields 14 and 15, counted after the parenthesised command name.
    if [[ -n $harness ]] &&
       used=$(awk -v t="$ticks" '{ sub(/^.*\) /, ""); print int(($12 + $13) / t) }' "/proc/$harness/stat" 2>/dev/null) &&
       (( used >= cpu_limit )); then
      kill -INT "$harness" 2>/dev/null
      return 0
    fi
    sleep 10
  done
}
jobs=${FUZZ_JOBS:-${#harnesses[@]}}
running=0
for entry in "${harnesses[@]}"; do
  name=${entry%%:*}
  if [[ -n ${FUZZ_ONLY:-} && " $FUZZ_ONLY " != *" $name "* ]]; then continue; fi
  seeds=$top/fuzz/${entry#*:}
  binary=$build/bin/$name
  if [[ ! -x $binary ]]; then
    echo "missing $binary" >&2
    continue
  fi
  if (( running >= jobs )); then
    wait -n
    running=$((running - 1))
  fi
  mkdir -p "$out/$name/corpus"
  # /usr/bin/time writes the processor seconds (user + system) of the run to <harness>.cpu.
  (cd "$out/$name" || exit
   nice -n 19 /usr/bin/time -f '%U %S' -o "$out/$name.cpu" \
     "$binary" corpus "$seeds" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=1536 \
     -timeout="$unit_timeout" -print_final_stats=1 >"$out/$name.log" 2>&1 &
   timer=$!
   if [[ -n $cpu_limit ]]; then stop_at_cpu_limit "$timer"; fi
   wait "$timer") &
  running=$((running + 1))
done
wait

printf '%-24s %10s %8s %8s %s\n' harness runs seconds cpu-s findings
for entry in "${harnesses[@]}"; do
  name=${entry%%:*}
  log=$out/$name.log
  [[ -f $log ]] || continue
  if [[ -n ${FUZZ_ONLY:-} && " $FUZZ_ONLY " != *" $name "* ]]; then continue; fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  time=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | awk '{print $5}' || true)
  cpu=$(awk '/^[0-9.]+ [0-9.]+$/ {printf "%d", $1 + $2}' "$out/$name.cpu" 2>/dev/null)
  findings=$(ls "$out/$name" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | tr '\n' ' ')
  printf '%-24s %10s %8s %8s %s\n' "$name" "${runs:-?}" "${time:-?}" "${cpu:-?}" "${findings:-none}"
done
