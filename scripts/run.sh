#!/usr/bin/env bash
# Installs what is missing, builds Fenrik and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target fenrik
# Transparent huge pages for the heap: loading a long GPX track builds a large document, and
# first-touch page faults otherwise dominate its load time.
export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1"
exec build/app/fenrik "$@"
