#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the GPX boundary (any bytes as the GPX file, read through the reader process) under
# AddressSanitizer and UndefinedBehaviorSanitizer for the given time, then prints how many
# inputs ran and what was found. Run by hand; CI runs a short smoke test of the same target.
#
#   scripts/fuzz.sh SECONDS [JOBS]     JOBS fuzzing processes side by side (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [JOBS]}
jobs=${2:-1}

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target gpx_libfuzzer_build

work=build/fuzz/long-run
mkdir -p "$work/corpus" "$work/artifacts"
rm -f "$work"/fuzz-*.log
seeds=(fuzz/corpus/gpx tests/data/gpx tests/data/gpx-hostile)

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
start=$(date +%s)
status=0
(cd "$work" && ../gpx_libfuzzer -jobs="$jobs" -workers="$jobs" -max_total_time="$seconds" \
    -dict=../../../fuzz/gpx.dict -max_len=65536 -timeout=30 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix=artifacts/ corpus \
    "${seeds[@]/#/../../../}") >/dev/null 2>&1 || status=$?
elapsed=$(( $(date +%s) - start ))

# The last progress line of each job counts its inputs, also when a run was interrupted.
runs=$(for log in "$work"/fuzz-*.log; do grep -ao '^#[0-9]\+' "$log" | tail -1 | tr -d '#'; done |
    awk '{sum += $1} END {print sum + 0}')
found=$(find "$work/artifacts" -type f | wc -l)
echo "Fuzzed the GPX boundary for ${elapsed} s with ${jobs} job(s): ${runs} inputs ran."
echo "Corpus: $(find "$work/corpus" -type f | wc -l) inputs in $work/corpus."
if [ "$found" -gt 0 ] || [ "$status" -ne 0 ]; then
    echo "Found ${found} failing input(s) in $work/artifacts (exit status ${status}); logs: $work/fuzz-*.log"
    exit 1
fi
echo "Nothing found."
