#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts Fenrik under an X server and a session bus with its accessibility bridge on, and lets
# check_accessible_tree.py read its accessible tree through AT-SPI as a screen reader would.
# Usage: check_accessible_tree.sh FENRIK_BINARY ARTIFACT_DIR
set -euo pipefail
if [ -z "${FENRIK_IN_SESSION:-}" ]; then
    export FENRIK_IN_SESSION=1
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
BIN=$1
ARTIFACTS=$2
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
trap 'kill $PID 2>/dev/null || true; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_CONFIG_HOME/Quillbay" "$WORK/photos"
printf '%s\n' "[Settings]" "HotFolder1=$WORK/photos" "HotFolder1Enabled=1" \
    "Device=$WORK/missing.gpx" >"$XDG_CONFIG_HOME/Quillbay/fenrik.conf"
"$BIN" &
PID=$!
# Debian's python3, which has the AT-SPI bindings, whatever python3 comes first on the PATH.
/usr/bin/python3 "$(dirname "$0")/check_accessible_tree.py" "$ARTIFACTS" "$WORK/photos"
