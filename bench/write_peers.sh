#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times Fenrik's tagging side by side with other geotaggers on the same generated photos, in
# one run on one machine: 1,000 small photos (640x480) and 200 camera-sized photos (4000x3000)
# on a journaled ext4 file system, as a Debian install has; the camera-sized photos also on
# tmpfs, btrfs and XFS (where Fenrik's new files share the originals' image data), and again
# over the set Fenrik has just tagged (a rerun, which writes nothing). The file systems are
# images mounted through loop devices; every run starts from a fresh copy that is already on
# disk; each figure is the median of RUNS runs (default 3) of the whole process, GPX load
# included.
#
#   bench/write_peers.sh [BUILD_DIR]      (default: build; needs build/bench/tagging_bench)
#
# Needs root (for the mounts). gpscorrelate and exiftool are used when installed, and the
# script installs the missing ones, with btrfs-progs and xfsprogs, from Debian first. WORK
# (default /var/tmp) holds about 8 GB while it runs; the tmpfs rows need about 1.6 GB of
# memory.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build}
BENCH=$(realpath "$BUILD/bench/tagging_bench")
RUNS=${RUNS:-3}
WORK=${WORK:-/var/tmp}
SMALL_COUNT=${SMALL_COUNT:-1000}
CAMERA_COUNT=${CAMERA_COUNT:-200}

[ -x "$BENCH" ] || { echo "build tagging_bench first ($BENCH)" >&2; exit 1; }

[ "$(id -u)" = 0 ] || { echo "run as root: the file systems are mounted from images" >&2; exit 1; }
for tool in gpscorrelate:gpscorrelate exiftool:libimage-exiftool-perl mkfs.btrfs:btrfs-progs \
    mkfs.xfs:xfsprogs; do
    command -v "${tool%%:*}" >/dev/null || apt-get install -y -q "${tool#*:}" >/dev/null 2>&1 || true
done
HAVE_GPSCORRELATE=$(command -v gpscorrelate >/dev/null && echo 1 || echo 0)
HAVE_EXIFTOOL=$(command -v exiftool >/dev/null && echo 1 || echo 0)

need_kb=$((8 * 1024 * 1024))
free_kb=$(df -Pk "$WORK" | awk 'NR == 2 { print $4 }')
if [ "$free_kb" -lt "$need_kb" ]; then
    echo "need about 8 GB free in $WORK, have $((free_kb / 1024)) MB" >&2
    exit 1
fi

ROOT=$(mktemp -d "$WORK/fenrik-write-peers-XXXXXX")
TMPFS=$ROOT/tmpfs
MOUNTS=()
cleanup() {
    for dir in "${MOUNTS[@]}"; do
        mountpoint -q "$dir" && umount "$dir"
    done
    rm -rf "$ROOT"
}
trap cleanup EXIT
mkdir -p "$TMPFS"
mount -t tmpfs -o size=2g tmpfs "$TMPFS" && MOUNTS+=("$TMPFS")

# A file system of type $1 in a sparse image of $2, mounted at $3 through a loop device.
mount_image() {
    mkdir -p "$3"
    truncate -s "$2" "$3.img"
    "mkfs.$1" -q "$3.img" >/dev/null
    mount -o loop "$3.img" "$3"
    MOUNTS+=("$3")
}
DISK=$ROOT/ext4
mount_image ext4 4G "$DISK"
FILESYSTEMS=()
for type in btrfs xfs; do
    if command -v "mkfs.$type" >/dev/null && mount_image "$type" 2500M "$ROOT/$type"; then
        FILESYSTEMS+=("$type")
    fi
done

echo "Generating inputs in $ROOT ..."
"$BENCH" --make-gpx "$ROOT/track-1000.gpx" --points 1000
"$BENCH" --make-gpx "$ROOT/track-86400.gpx" --points 86400
"$BENCH" --make-photos "$ROOT/small" --count "$SMALL_COUNT" --size 640x480 --spacing 1 --quality 70
"$BENCH" --make-photos "$ROOT/camera" --count "$CAMERA_COUNT" --size 4000x3000 --spacing 400 \
    --quality 82
sync

# Seconds, to the millisecond, that a command takes; its output goes to a log.
timed() {
    local start end
    start=$(date +%s%N)
    "$@" >>"$ROOT/commands.log" 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000000)) | awk '{ printf "%.3f", $1 / 1000 }'
}

# A fresh copy of a photo set at `to`, already written to disk.
fresh() {
    rm -rf "$2"
    cp -r "$1" "$2"
    sync
}

fenrik() { "$BENCH" --folder "$1" --gpx "$2" --tolerance 0:2 --bias 0; }
gpscorrelate_run() { gpscorrelate -z +0 -i -m 120 -g "$2" "$1"/*.JPG; }
gpscorrelate_sync() { gpscorrelate_run "$1" "$2"; sync; }
exiftool_run() {
    exiftool -q -overwrite_original -geotag "$2" '-geotime<${DateTimeOriginal}+00:00' \
        -api GeoMaxIntSecs=120 -api GeoMaxExtSecs=120 "$1"
}
durable_copy() { "$BENCH" --durable-copy "$1"; }
batched_replacement() { "$BENCH" --batched-replacement "$1"; }
copy_sync() { cp -r "$1" "$2"; sync; }
copy_plain() { cp -r "$1" "$2"; }

declare -A TIMES
record() { TIMES[$1]="${TIMES[$1]:-} $2"; }
# Fenrik's own split of its last run: GPX load and tagging, from its report line.
record_split() {
    local line
    line=$(grep "track points: GPX load" "$ROOT/commands.log" | tail -1)
    record "$1.load" "$(echo "$line" | sed -E 's/.*GPX load ([0-9.]+) s.*/\1/')"
    record "$1.tagging" "$(echo "$line" | sed -E 's/.*tagging ([0-9.]+) s.*/\1/')"
}

# One round of every row and column, side by side.
round() {
    local run=$DISK/run tmp=$TMPFS/run
    fresh "$ROOT/small" "$run"; record small.fenrik "$(timed fenrik "$run" "$ROOT/track-1000.gpx")"
    record_split small
    if [ "$HAVE_GPSCORRELATE" = 1 ]; then
        fresh "$ROOT/small" "$run"; record small.gps "$(timed gpscorrelate_run "$run" "$ROOT/track-1000.gpx")"
    fi
    if [ "$HAVE_EXIFTOOL" = 1 ]; then
        fresh "$ROOT/small" "$run"; record small.exif "$(timed exiftool_run "$run" "$ROOT/track-1000.gpx")"
    fi
    fresh "$ROOT/small" "$run"; record small.floor "$(timed durable_copy "$run")"
    fresh "$ROOT/small" "$run"; record small.replace "$(timed batched_replacement "$run")"

    fresh "$ROOT/camera" "$run"; record camera.fenrik "$(timed fenrik "$run" "$ROOT/track-86400.gpx")"
    record_split camera
    sync; record camera.rerun "$(timed fenrik "$run" "$ROOT/track-86400.gpx")"
    if [ "$HAVE_GPSCORRELATE" = 1 ]; then
        fresh "$ROOT/camera" "$run"; record camera.gps "$(timed gpscorrelate_run "$run" "$ROOT/track-86400.gpx")"
        fresh "$ROOT/camera" "$run"; record camera.gpssync "$(timed gpscorrelate_sync "$run" "$ROOT/track-86400.gpx")"
    fi
    if [ "$HAVE_EXIFTOOL" = 1 ]; then
        fresh "$ROOT/camera" "$run"; record camera.exif "$(timed exiftool_run "$run" "$ROOT/track-86400.gpx")"
    fi
    rm -rf "$run"; sync; record camera.floor "$(timed copy_sync "$ROOT/camera" "$run")"

    fresh "$ROOT/camera" "$tmp"; record tmpfs.fenrik "$(timed fenrik "$tmp" "$ROOT/track-86400.gpx")"
    record_split tmpfs
    if [ "$HAVE_GPSCORRELATE" = 1 ]; then
        fresh "$ROOT/camera" "$tmp"; record tmpfs.gps "$(timed gpscorrelate_run "$tmp" "$ROOT/track-86400.gpx")"
    fi
    rm -rf "$tmp"; sync; record tmpfs.floor "$(timed copy_plain "$ROOT/camera" "$tmp")"
    rm -rf "$run" "$tmp"

    local type cow
    for type in "${FILESYSTEMS[@]}"; do
        cow=$ROOT/$type/run
        fresh "$ROOT/camera" "$cow"; record "$type.fenrik" "$(timed fenrik "$cow" "$ROOT/track-86400.gpx")"
        if [ "$HAVE_GPSCORRELATE" = 1 ]; then
            fresh "$ROOT/camera" "$cow"; record "$type.gpssync" "$(timed gpscorrelate_sync "$cow" "$ROOT/track-86400.gpx")"
        fi
        rm -rf "$cow"; sync
    done
}

# How much of the image data Fenrik's new files share with the originals on btrfs and XFS:
# a reflinked copy of the photos keeps the originals' blocks, and the tagged photos' blocks
# that it still shares afterwards are the ones not copied.
sharing() {
    local type cow
    for type in "${FILESYSTEMS[@]}"; do
        cow=$ROOT/$type/run
        fresh "$ROOT/camera" "$cow"
        cp -r --reflink=always "$cow" "$cow.originals"
        fenrik "$cow" "$ROOT/track-86400.gpx" >>"$ROOT/commands.log" 2>&1
        sync
        SHARED[$type]=$("$BENCH" --shared "$cow" | sed -E 's/^shared //')
        rm -rf "$cow" "$cow.originals"; sync
    done
}
declare -A SHARED

median() {
    [ -n "${TIMES[$1]:-}" ] || { echo ""; return; }
    echo "${TIMES[$1]}" | tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
cell() { local m; m=$(median "$1"); [ -n "$m" ] && echo "$m s" || echo "-"; }
plain_ratio() {
    local a b
    a=$(median "$1"); b=$(median "$2")
    [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / b }' || echo "-"
}
ratio() {
    local a b
    a=$(median "$1"); b=$(median "$2")
    [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" -v b="$b" -v goal="$3" \
        'BEGIN { r = a / b; printf "%.2f (goal <= %s: %s)", r, goal, r <= goal ? "met" : "NOT met" }' ||
        echo "-"
}

for ((i = 1; i <= RUNS; i++)); do
    echo "Round $i of $RUNS ..."
    round
done
sharing

small_mb=$(du -sm "$ROOT/small" | cut -f1)
camera_mb=$(du -sm "$ROOT/camera" | cut -f1)
echo
echo "Medians of $RUNS runs, each from a fresh copy already on disk; wall-clock time of the whole process."
echo
echo "| Run | Fenrik | gpscorrelate | gpscorrelate, then sync | exiftool | Floor | Fenrik / goal's peer |"
echo "|---|---|---|---|---|---|---|"
echo "| $SMALL_COUNT small photos ($small_mb MB), on disk | $(cell small.fenrik) | $(cell small.gps) (does not flush) | | $(cell small.exif) | a copy that flushes each file: $(cell small.floor); Fenrik's writes alone (a copy of each photo replacing it, flushed in batches): $(cell small.replace), $(plain_ratio small.replace small.gps) of gpscorrelate | $(ratio small.fenrik small.gps 0.8) of gpscorrelate |"
echo "| $CAMERA_COUNT camera-sized photos ($camera_mb MB), on disk | $(cell camera.fenrik) | $(cell camera.gps) | $(cell camera.gpssync) | $(cell camera.exif) | cp, then sync: $(cell camera.floor) | $(ratio camera.fenrik camera.gpssync 1.0) of gpscorrelate, then sync |"
echo "| $CAMERA_COUNT camera-sized photos, on tmpfs | $(cell tmpfs.fenrik) | $(cell tmpfs.gps) | | | a plain copy: $(cell tmpfs.floor) | $(ratio tmpfs.fenrik tmpfs.gps 0.6) of gpscorrelate |"
for type in "${FILESYSTEMS[@]}"; do
    echo "| $CAMERA_COUNT camera-sized photos, on $type | $(cell "$type.fenrik") | | $(cell "$type.gpssync") | | image data shared: ${SHARED[$type]:--} | $(ratio "$type.fenrik" "$type.gpssync" 0.4) of gpscorrelate, then sync |"
done
echo "| the same $CAMERA_COUNT photos again, once tagged (a rerun), on disk | $(cell camera.rerun) | | | | | $(ratio camera.rerun camera.fenrik 1.0) of the first run |"
echo
echo "Inside Fenrik's runs (medians): GPX load / tagging the folder"
for row in small camera tmpfs; do
    echo "  $row: $(median $row.load) s / $(median $row.tagging) s"
done
echo
echo "Every run: $(grep -c ^processor /proc/cpuinfo) cores; raw seconds per cell:"
for key in $(echo "${!TIMES[@]}" | tr ' ' '\n' | sort); do
    echo "  $key:${TIMES[$key]}"
done
