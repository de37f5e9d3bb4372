#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes one of the program's boundaries under AddressSanitizer and UndefinedBehaviorSanitizer
# for the given time, then prints how many inputs ran and what was found. Run by hand; CI runs
# a short smoke test of each target.
#   gpx   any bytes as the GPX file, read through the reader process
#   exif  any bytes as a photo's header, given to the GPS tag writer
#   heif, tiff, webp, png  any bytes as a whole file of that format, given to its GPS tag writer
#
#   scripts/fuzz.sh SECONDS [JOBS] [TARGET]   JOBS fuzzing processes side by side (default 1),
#                                             TARGET gpx (default), exif, heif, tiff, webp or png
#   FUZZ_RUNS=N scripts/fuzz.sh ...           stops each job after N inputs, should that come first
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [JOBS] [TARGET]}
jobs=${2:-1}
target=${3:-gpx}

case "$target" in
    gpx)
        seeds=(fuzz/corpus/gpx tests/data/gpx tests/data/gpx-hostile)
        options=(-max_len=65536 -timeout=30)
        ;;
    exif)
        seeds=(fuzz/corpus/exif)
        options=(-max_len=70000 -timeout=30)
        # Exiv2 allocates for every datum it reads: recording each allocation's stack took three
        # quarters of the time. A finding's input reproduces with the full reports.
        asan_extra=:malloc_context_size=0
        ;;
    heif | tiff | webp | png)
        seeds=("fuzz/corpus/$target")
        options=(-max_len=70000 -timeout=30)
        asan_extra=:malloc_context_size=0
        ;;
    *)
        echo "unknown target: $target (gpx, exif, heif, tiff, webp or png)" >&2
        exit 2
        ;;
esac
if [ -n "${FUZZ_RUNS:-}" ]; then
    options+=(-runs="$FUZZ_RUNS")
fi

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target "${target}_libfuzzer_build"

work=build/fuzz/long-run-$target
mkdir -p "$work/corpus" "$work/artifacts"
rm -f "$work"/fuzz-*.log

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1${asan_extra:-}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
start=$(date +%s)
status=0
(cd "$work" && "../${target}_libfuzzer" -jobs="$jobs" -workers="$jobs" \
    -max_total_time="$seconds" -dict="../../../fuzz/$target.dict" "${options[@]}" \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=artifacts/ corpus \
    "${seeds[@]/#/../../../}") >/dev/null 2>&1 || status=$?
elapsed=$(( $(date +%s) - start ))

# The last progress line of each job counts its inputs, also when a run was interrupted.
runs=$(for log in "$work"/fuzz-*.log; do grep -ao '^#[0-9]\+' "$log" | tail -1 | tr -d '#'; done |
    awk '{sum += $1} END {print sum + 0}')
coverage=$(for log in "$work"/fuzz-*.log; do grep -ao 'cov: [0-9]\+ ft: [0-9]\+' "$log" | tail -1; done)
# A slow unit is a report, not a failure: an input that took long, most often because the
# machine was busy. It is listed for a look; crashes, leaks, timeouts and out-of-memory are
# failures.
found=$(find "$work/artifacts" -type f ! -name 'slow-unit-*' | wc -l)
slow=$(find "$work/artifacts" -type f -name 'slow-unit-*' | wc -l)
echo "Fuzzed the $target boundary for ${elapsed} s with ${jobs} job(s): ${runs} inputs ran."
echo "Coverage at the end: ${coverage:-unknown}."
echo "Corpus: $(find "$work/corpus" -type f | wc -l) inputs in $work/corpus."
if [ "$slow" -gt 0 ]; then
    echo "Slow inputs: ${slow} in $work/artifacts (slow-unit-*); each runs alone with -runs=1."
fi
if [ "$found" -gt 0 ] || [ "$status" -ne 0 ]; then
    echo "Found ${found} failing input(s) in $work/artifacts (exit status ${status}); logs: $work/fuzz-*.log"
    exit 1
fi
echo "Nothing found."
