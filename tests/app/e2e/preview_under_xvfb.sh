#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `fenrik --preview` under a real X server (Xvfb), as a user would run it:
#  1. the preview window opens for a folder of photos and a track, with a marker of its own
#     colour for the photo on a fix and for the one between fixes, on a map without tiles (the
#     tile server in the profile refuses);
#  2. typing a clock correction moves the markers: both photos now lie between fixes;
#  3. Alt+U ("Use these settings") keeps the correction in the profile and ends the program,
#     and no photo was changed.
# Usage: preview_under_xvfb.sh FENRIK_BINARY ARTIFACT_DIR
set -euo pipefail

if [ -z "${FENRIK_IN_XVFB:-}" ]; then
    export FENRIK_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

BIN=$1
ARTIFACTS=$2
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
trap 'kill "${PID:-}" 2>/dev/null || true; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
export ASAN_OPTIONS=detect_leaks=0
export QT_QPA_PLATFORM=xcb

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Markers of COLOUR (#RRGGBB) on SCREENSHOT: "count mean-x mean-y" of its pixels.
markers_of() {
    [ -f "$2.txt" ] || convert "$2" -crop 1100x700+0+0 txt:- >"$2.txt"
    grep -F "#$1 " "$2.txt" |
        awk -F'[,:]' '{ n++; x += $1; y += $2 } END { printf "%d %d %d\n", n, n ? x / n : 0, n ? y / n : 0 }'
}
# Takes screenshots into SHOT until COLOUR's pixels number at least MIN and at most MAX, or two
# minutes have passed (a sanitizer build on a busy machine reads and paints slowly); the last one
# stays.
shoot_until() {  # shoot_until SHOT COLOUR MIN MAX
    local n
    for _ in $(seq 1 240); do
        rm -f "$1" "$1.txt"
        import -window root "$1"
        read -r n _ _ < <(markers_of "$2" "$1")
        [ "$n" -ge "$3" ] && [ "$n" -le "$4" ] && return 0
        sleep 0.5
    done
}
EXACT=2E7D32
BETWEEN=1565C0
NEAREST=EF6C00

source "$(dirname "$0")/trip_fixture.sh"
make_trip "$WORK"
(cd "$WORK/photos" && md5sum ./*) >"$WORK/before.md5"

# 1. The window and its markers.
start_preview "$BIN" "$WORK"
WID=""
for _ in $(seq 1 1200); do  # two minutes at most
    WID=$(xdotool search --name '^Preview on the map - Fenrik$' 2>/dev/null | head -1) && [ -n "$WID" ] && break
    sleep 0.1
done
[ -n "$WID" ] || fail "the preview window did not appear"
shoot_until "$WORK/opened.png" $EXACT 21 100000  # the photos are read and placed
cp "$WORK/opened.png" "$ARTIFACTS/preview-opened.png"
read -r exact_n exact_x _ < <(markers_of $EXACT "$WORK/opened.png")
read -r between_n between_x _ < <(markers_of $BETWEEN "$WORK/opened.png")
read -r nearest_n _ _ < <(markers_of $NEAREST "$WORK/opened.png")
[ "$exact_n" -gt 20 ] || fail "no marker of a photo on a fix ($exact_n pixels)"
[ "$between_n" -gt 20 ] || fail "no marker of a photo between fixes ($between_n pixels)"
[ "$nearest_n" -eq 0 ] || fail "a photo placed at the nearest fix ($nearest_n pixels)"
read -r line_n _ _ < <(markers_of C81E1E "$WORK/opened.png")
[ "$line_n" -gt 100 ] || fail "the track is not drawn ($line_n pixels)"
# The track runs east: the photo of 12:40 lies east of the one of 12:10.
[ "$between_x" -gt $((exact_x + 100)) ] || fail "markers at x $exact_x and $between_x"

# 2. The correction, typed into its field (which has the focus), moves them.
xdotool windowfocus --sync "$WID"
xdotool key --window "$WID" ctrl+a
xdotool type --window "$WID" --delay 50 315
shoot_until "$WORK/corrected.png" $EXACT 0 0
cp "$WORK/corrected.png" "$ARTIFACTS/preview-corrected.png"
read -r exact_n _ _ < <(markers_of $EXACT "$WORK/corrected.png")
read -r moved_n moved_x _ < <(markers_of $BETWEEN "$WORK/corrected.png")
[ "$exact_n" -eq 0 ] || fail "a photo still on a fix after the correction ($exact_n pixels)"
[ "$moved_n" -gt $((between_n + 20)) ] || fail "not both photos between fixes ($moved_n pixels)"
[ "$moved_x" -ne "$between_x" ] || fail "the markers did not move"

# 3. Use these settings: kept in the profile, and the program ends.
xdotool key --window "$WID" alt+u
for _ in $(seq 1 1200); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$PID" 2>/dev/null && fail "the program did not end after Use these settings"
wait "$PID" || fail "the program ended with $?"
grep -qx 'ClockCorrectionSeconds=315' "$XDG_CONFIG_HOME/Quillbay/fenrik.conf" ||
    fail "the correction was not kept: $(cat "$XDG_CONFIG_HOME/Quillbay/fenrik.conf")"
(cd "$WORK/photos" && md5sum -c --quiet "$WORK/before.md5") || fail "a photo was changed"
echo "The preview opened, moved with the clock and kept the correction"
