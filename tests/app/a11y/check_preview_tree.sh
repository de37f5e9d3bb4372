#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts fenrik --preview on a trip of two photos under an X server and a session bus with its
# accessibility bridge on, and lets check_preview_tree.py read the preview's accessible tree.
# Usage: check_preview_tree.sh FENRIK_BINARY ARTIFACT_DIR
set -euo pipefail
if [ -z "${FENRIK_IN_SESSION:-}" ]; then
    export FENRIK_IN_SESSION=1
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
BIN=$1
ARTIFACTS=$2
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
trap 'kill $PID 2>/dev/null || true; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ASAN_OPTIONS=detect_leaks=0
source "$(dirname "$0")/../e2e/trip_fixture.sh"
make_trip "$WORK"
# One photo that no run would place: taken the day before.
cp "$WORK/photos/a.jpg" "$WORK/photos/c.jpg"
exiftool -q -overwrite_original "-CreateDate=2020:05:31 12:00:00" "$WORK/photos/c.jpg"
start_preview "$BIN" "$WORK"
# Debian's python3, which has the AT-SPI bindings, whatever python3 comes first on the PATH.
/usr/bin/python3 "$(dirname "$0")/check_preview_tree.py" "$ARTIFACTS"
