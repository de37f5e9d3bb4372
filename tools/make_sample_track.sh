#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a GPX track with one point at the capture time (Exif DateTimeDigitized, read with
# exiftool) of each JPEG in a folder, so that every dated photo there has a point to match.
# Points lie along a line at 46.1N 14.2W onwards, 300 m up and rising.
# Usage: make_sample_track.sh PHOTO_FOLDER OUTPUT_GPX
set -euo pipefail
photos=$1
out=$2
{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<gpx version="1.1" creator="fenrik sample track"><trk><trkseg>'
    i=0
    for photo in "$photos"/*.jpg "$photos"/*.JPG; do
        [ -f "$photo" ] || continue
        when=$(exiftool -s3 -d '%Y-%m-%dT%H:%M:%SZ' -CreateDate "$photo" 2>/dev/null || true)
        [ -n "$when" ] || continue
        echo "<trkpt lat=\"46.$((10 + i))\" lon=\"-14.$((20 + i))\"><ele>$((300 + i))</ele><time>$when</time></trkpt>"
        i=$((i + 1))
    done
    echo '</trkseg></trk></gpx>'
} >"$out"
