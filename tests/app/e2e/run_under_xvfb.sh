#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real Fenrik executable under a real X server (Xvfb), as a user would:
#  1. with a throwaway profile, takes a screenshot and checks the shaped window, the controls'
#     positions against the skin images, the published screenshot and the window's class;
#  2. with a profile that points at a folder of sample photos and a GPX track made for them,
#     clicks start, waits for the photos to be tagged, and checks the GPS tags with exiftool;
#  3. moves the mouse from Start onto text lines and presses Tab, checking the focus images;
#  4. clicks the close button and checks that the program ends.
# Usage: run_under_xvfb.sh FENRIK_BINARY SKIN_BITMAP_DIR SAMPLES_DIR ARTIFACT_DIR LAYOUT_TABLE
# (LAYOUT_TABLE: the program that prints the main window's layout, fenrik_layout_table)
set -euo pipefail

# -noreset: the server stays up between the program's runs here; by default it resets once its
# last client leaves, and a run started meanwhile could not connect.
if [ -z "${FENRIK_IN_XVFB:-}" ]; then
    export FENRIK_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -wr -noreset" "$0" "$@"
fi

BIN=$1
SKIN=$2
SAMPLES=$3
ARTIFACTS=$4
LAYOUT=$("$5")
mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config"
export ASAN_OPTIONS=detect_leaks=0
export QT_QPA_PLATFORM=xcb

# The window opens at the centred rectangle of the 1024 x 768 screen.
LEFT=364
TOP=268

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The layout table's line of control ID: id kind left top right bottom normal pressed focus disabled.
control() {
    awk -v id="$1" '$1 == id' <<<"$LAYOUT" | grep . || fail "control $1 is not in the layout table"
}
centre() {  # centre ID -> "x y" on the screen
    control "$1" | awk -v l="$LEFT" -v t="$TOP" '{ print l + int(($3 + $5) / 2), t + int(($4 + $6) / 2) }'
}

pixel() {  # pixel IMAGE X Y -> "srgb(r,g,b)"
    convert "$1" -format "%[pixel:p{$2,$3}]" info: | sed 's/srgba\?(\([0-9]*,[0-9]*,[0-9]*\).*/srgb(\1)/'
}

wait_for_window() {
    for _ in $(seq 1 100); do
        if xdotool search --name '^Fenrik$' >/dev/null 2>&1; then
            sleep 1
            return 0
        fi
        sleep 0.1
    done
    fail "the window did not appear"
}

write_profile() {
    mkdir -p "$XDG_CONFIG_HOME/Quillbay"
    printf '%s\n' "[Settings]" "$@" >"$XDG_CONFIG_HOME/Quillbay/fenrik.conf"
}

# 1. The window as a user first sees it.
write_profile
"$BIN" &
PID=$!
wait_for_window
# A desktop on X11 matches the window to its launcher by its class, which the desktop entry names.
DESKTOP_ENTRY=$(ls "$(dirname "$0")"/../../../resources/desktop/*.desktop)
WM_CLASS=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP_ENTRY")
xdotool search --classname "^$WM_CLASS\$" >/dev/null ||
    fail "no window of class $WM_CLASS, which $(basename "$DESKTOP_ENTRY") names"
import -window root "$WORK/screen.png"
convert "$WORK/screen.png" -crop 296x233+$LEFT+$TOP +repage "$ARTIFACTS/main-window.png"
kill $PID 2>/dev/null || true
wait $PID 2>/dev/null || true
SHOT="$ARTIFACTS/main-window.png"
WHITE="srgb(255,255,255)"
for corner in "0 0" "295 0" "0 231" "295 231" "150 232"; do
    [ "$(pixel "$SHOT" $corner)" = "$WHITE" ] || fail "pixel $corner should be cut away"
done
[ "$(pixel "$SHOT" 148 116)" != "$WHITE" ] || fail "the window body is missing"
# Controls stand where they belong: the screenshot shows each control's normal image there.
check_image() {  # check_image BITMAP_ID LEFT TOP
    local size
    size=$(identify -format "%wx%h" "$SKIN/$1.bmp")
    convert "$SHOT" -crop "$size+$2+$3" +repage "$WORK/crop.png"
    local diff
    diff=$(compare -metric AE "$WORK/crop.png" "$SKIN/$1.bmp" null: 2>&1 || true)
    [ "${diff%% *}" = "0" ] || fail "bitmap $1 is not at $2,$3 ($diff pixels differ)"
}
check_control() {  # check_control ID normal|focus: the control shows that image at its place
    local column
    case $2 in normal) column=7 ;; focus) column=9 ;; esac
    control "$1" | awk -v c="$column" '{ print $c, $3, $4 }' | {
        read -r image left top
        check_image "$image" "$left" "$top"
    }
}
while read -r id kind _; do
    case $kind in button | check) check_control "$id" normal ;; esac
done <<<"$LAYOUT"
# The screenshot that the AppStream metainfo shows is this window as it looks today.
PUBLISHED="$(dirname "$0")/../../../resources/desktop/main-window.png"
diff=$(compare -metric AE "$SHOT" "$PUBLISHED" null: 2>&1 || true)
[ "${diff%% *}" = "0" ] ||
    fail "the window no longer looks like $PUBLISHED ($diff pixels differ): copy $SHOT there"
echo "window: shaped and laid out as expected; screenshot in $SHOT"

# 2. A tagging run over sample photos.
PHOTOS="$WORK/photos"
mkdir -p "$PHOTOS"
for name in Canon_40D Fujifilm_FinePix_E500 Olympus_C8080WZ Pentax_K10D Sony_HDR-HC3 corrupted; do
    # Writable, as a camera's photos are: Fenrik leaves read-only photos alone.
    install -m 644 "$SAMPLES/jpg/$name.jpg" "$PHOTOS/"
done
GPX="$WORK/track.gpx"
"$(dirname "$0")/../../../tools/make_sample_track.sh" "$PHOTOS" "$GPX"
write_profile "HotFolder1=$PHOTOS" "HotFolder1Enabled=1" "Device=$GPX" "ToleranceMinutes=1"
"$BIN" &
PID=$!
wait_for_window
xdotool mousemove $(centre 102) click 1
expected=$(grep -c '<trkpt' "$GPX")
tagged=0
for _ in $(seq 1 300); do
    tagged=$( (exiftool -q -q -if '$GPSLatitude' -p '$FileName' "$PHOTOS"/*.jpg 2>/dev/null || true) | wc -l)
    [ "$tagged" -ge "$expected" ] && break
    sleep 0.2
done
[ "$tagged" -ge "$expected" ] || fail "only $tagged of $expected photos were tagged"
sleep 1
import -window root "$WORK/after.png"
convert "$WORK/after.png" -crop 296x233+$LEFT+$TOP +repage "$ARTIFACTS/main-window-after-run.png"
for photo in "$PHOTOS"/*.jpg; do
    when=$(exiftool -s3 -CreateDate "$photo" 2>/dev/null || true)
    [ -n "$when" ] || continue
    lat=$(exiftool -s3 -n -GPSLatitude "$photo")
    lon=$(exiftool -s3 -n -GPSLongitude "$photo")
    alt=$(exiftool -s3 -n -GPSAltitude "$photo")
    case "$lat" in 46.*) ;; *) fail "$photo: latitude $lat" ;; esac
    case "$lon" in -14.*) ;; *) fail "$photo: longitude $lon" ;; esac
    [ -n "$alt" ] || fail "$photo: no altitude"
    echo "tagged $(basename "$photo"): $lat $lon $alt"
done

# 3. Focus follows the mouse onto a text line, and the keyboard reaches the buttons.
take_shot() {  # take_shot NAME: the window's area of the screen into $SHOT
    import -window root "$WORK/screen.png"
    SHOT="$ARTIFACTS/$1.png"
    convert "$WORK/screen.png" -crop 296x233+$LEFT+$TOP +repage "$SHOT"
}
# The body between the GPX line and the folders button, which no control covers, then Start.
xdotool mousemove $((LEFT + 150)) $((TOP + 70)) sleep 0.2 mousemove $(centre 102)
sleep 0.5
take_shot hover-start
check_control 102 focus  # Start lit under the mouse
xdotool mousemove $(centre 117)
sleep 0.5
take_shot hover-status-line
check_control 102 normal  # moving onto the status line put it out
xdotool mousemove $(centre 107)
sleep 0.5
take_shot hover-hot-folder-line
check_control 102 normal
xdotool key Tab
sleep 0.5
take_shot tab-once
check_control 101 focus  # the first Tab lights the minimize button
check_control 102 normal
echo "hover and keyboard: focus images as expected"

# 4. The close button ends the program.
xdotool mousemove $(centre 100) click 1
for _ in $(seq 1 50); do
    kill -0 $PID 2>/dev/null || break
    sleep 0.1
done
if kill -0 $PID 2>/dev/null; then
    kill $PID
    fail "the program did not end after the close button"
fi
wait $PID || fail "the program ended with an error"
echo "1 passed, 0 failed: end-to-end under Xvfb"
