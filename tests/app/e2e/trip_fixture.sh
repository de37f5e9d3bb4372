# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the preview's tests under X.
#
# make_trip DIR writes DIR/track.gpx, a fix a minute from
# 12:00 to 13:00 UTC on 1 June 2020 east along 46 N from 14 E, a hundredth of a degree apart, and
# DIR/photos with a.jpg taken at 12:10:00 (on a fix) and b.jpg at 12:40:30 (between two).

make_trip() {
    {
        echo '<gpx><trk><trkseg>'
        for minute in $(seq 0 60); do
            printf '<trkpt lat="46.0" lon="%s"><time>2020-06-01T%02d:%02d:00Z</time></trkpt>\n' \
                "$(LC_ALL=C awk -v m="$minute" 'BEGIN { printf "%.2f", 14 + 0.01 * m }')" \
                $((12 + minute / 60)) $((minute % 60))
        done
        echo '</trkseg></trk></gpx>'
    } >"$1/track.gpx"
    mkdir -p "$1/photos"
    local name taken
    for name in a b; do
        taken=$([ "$name" = a ] && echo 12:10:00 || echo 12:40:30)
        convert -size 64x48 xc:gray "$1/photos/$name.jpg"
        exiftool -q -overwrite_original "-CreateDate=2020:06:01 $taken" "$1/photos/$name.jpg"
    done
}

# start_preview BIN DIR: with a profile under $XDG_CONFIG_HOME whose tile server refuses (the
# map is drawn without tiles), starts BIN --preview on DIR's trip, placing photos between points,
# in the background; PID is its process.
start_preview() {
    mkdir -p "$XDG_CONFIG_HOME/Quillbay"
    printf '%s\n' "[Settings]" "MapTileUrl=http://127.0.0.1:1/{z}/{x}/{y}.png" \
        >"$XDG_CONFIG_HOME/Quillbay/fenrik.conf"
    "$1" --preview --gpx "$2/track.gpx" --folder "$2/photos" --zone UTC --tolerance 0:05 \
        --interpolate on &
    PID=$!
}
