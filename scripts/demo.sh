#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A sandbox to try Fenrik in: copies sample photos into a fresh folder, writes a GPX track that
# passes each photo's capture time, points a throwaway profile at both, and starts Fenrik.
# Press Start and watch the photos being tagged; your own settings are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target fenrik

SANDBOX=$(mktemp -d /tmp/fenrik-demo-XXXXXX)
mkdir -p "$SANDBOX/photos" "$SANDBOX/logs" "$SANDBOX/config/Quillbay"
for name in Canon_40D Fujifilm_FinePix_E500 Olympus_C8080WZ Pentax_K10D Sony_HDR-HC3 \
    exif-org-nikon-e950 exif-org-canon-ixus; do
    # Writable, as a camera's photos are: Fenrik leaves read-only photos alone.
    install -m 644 "$ROOT/tests/data/jpg/$name.jpg" "$SANDBOX/photos/"
done
tools/make_sample_track.sh "$SANDBOX/photos" "$SANDBOX/track.gpx"
cat >"$SANDBOX/config/Quillbay/fenrik.conf" <<INI
[Settings]
HotFolder1=$SANDBOX/photos
HotFolder1Enabled=1
Device=$SANDBOX/track.gpx
ToleranceHours=0
ToleranceMinutes=1
UseLogfile=1
LogfileDir=$SANDBOX/logs
INI

echo "Demo sandbox: $SANDBOX"
echo "Press Start; then see the tags with: exiftool -n -gps:all $SANDBOX/photos/*.jpg"
XDG_CONFIG_HOME="$SANDBOX/config" build/app/fenrik
