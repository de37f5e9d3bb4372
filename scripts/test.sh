#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Fenrik from scratch and runs every test: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer (built with clang).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

JOBS=$(nproc)
run_suite() {
    local dir=$1
    shift
    rm -rf "$dir"
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$JOBS"
    (cd "$dir" && ctest --output-on-failure -j "$JOBS" --timeout 600)
}

echo "== Release build and tests"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The sanitizer build uses clang, whose -Wthread-safety checks the lock annotations.
echo "== AddressSanitizer and UndefinedBehaviorSanitizer build (clang) and tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-sanitize -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DFENRIK_SANITIZE=ON -DFENRIK_BUILD_BENCH=OFF
