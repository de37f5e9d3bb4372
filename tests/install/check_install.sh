#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks the result as a desktop reads it:
#  1. the program and its GPX reader are where they belong, and the installed program finds
#     and runs the installed reader (not the build tree's);
#  2. the desktop entry passes desktop-file-validate and names the installed program and icon;
#  3. the icon is in the hicolor theme at its standard sizes;
#  4. the AppStream metainfo passes appstreamcli validate and matches the desktop entry;
#  5. the program starts from the desktop entry's command line and stays up.
# Usage: check_install.sh BUILD_DIR APP_ID VERSION GPX_LOAD_PROBE SAMPLE_GPX
set -euo pipefail
BUILD=$1
ID=$2
VERSION=$3
PROBE=$4
SAMPLE=$5
source "$(dirname "$0")/checks.sh"
PREFIX="$WORK/prefix"

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

# 1. Program and reader.
for program in bin/fenrik libexec/fenrik/fenrik-gpx-reader; do
    [ -x "$PREFIX/$program" ] || fail "$program is not installed"
done
expected=$("$PROBE" "$SAMPLE" | sed -n 's/^points //p')
[ "${expected:-0}" -gt 0 ] || fail "the probe read no points from $SAMPLE in the build tree"
cp "$PROBE" "$PREFIX/bin/gpx_load_probe"
answer=$("$PREFIX/bin/gpx_load_probe" "$SAMPLE") || fail "the installed reader did not read $SAMPLE"
reader=$(sed -n 's/^reader //p' <<<"$answer")
[ "$reader" = "$PREFIX/bin/../libexec/fenrik/fenrik-gpx-reader" ] ||
    fail "a program in $PREFIX/bin uses the reader $reader"
[ "$(sed -n 's/^points //p' <<<"$answer")" = "$expected" ] ||
    fail "the installed reader gave other points than the built one: $answer"
# A reader that always fails in its place must make the load fail: the installed one really runs.
mv "$PREFIX/libexec/fenrik/fenrik-gpx-reader" "$WORK/reader.real"
printf '#!/bin/sh\nexit 3\n' >"$PREFIX/libexec/fenrik/fenrik-gpx-reader"
chmod +x "$PREFIX/libexec/fenrik/fenrik-gpx-reader"
if "$PREFIX/bin/gpx_load_probe" "$SAMPLE" >/dev/null 2>&1; then
    fail "the load succeeded although the installed reader fails: another reader ran"
fi
mv "$WORK/reader.real" "$PREFIX/libexec/fenrik/fenrik-gpx-reader"
rm "$PREFIX/bin/gpx_load_probe"

# 2. Desktop entry.
DESKTOP="$PREFIX/share/applications/$ID.desktop"
[ -f "$DESKTOP" ] || { fail "no desktop entry $ID.desktop"; exit 1; }
report=$(desktop-file-validate "$DESKTOP" 2>&1) || fail "desktop-file-validate failed"
[ -z "$report" ] || fail "desktop-file-validate: $report"
key() {  # key NAME: the value of NAME in the desktop entry
    sed -n "s/^$1=//p" "$DESKTOP"
}
exec_line=$(key Exec)
[ -x "$PREFIX/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not an installed program"
[ "$(key Icon)" = "$ID" ] || fail "Icon=$(key Icon), not $ID"
[ "$(key StartupWMClass)" = "$(basename "${exec_line%% *}")" ] ||
    fail "StartupWMClass=$(key StartupWMClass) is not the program's window class"
for category in Graphics Photography; do
    case ";$(key Categories)" in
        *";$category;"*) ;;
        *) fail "Categories=$(key Categories) lacks $category" ;;
    esac
done
grep -q '^MimeType=' "$DESKTOP" && fail "the entry declares a MIME type but takes no file"
grep -qaF "$ID" "$PREFIX/bin/fenrik" || fail "the program does not name its desktop entry $ID"

# 3. Icons.
THEME="$PREFIX/share/icons/hicolor"
sizes=0
for icon in "$THEME"/*/apps/"$ID.png"; do
    [ -f "$icon" ] || continue
    folder=$(basename "$(dirname "$(dirname "$icon")")")
    actual=$(identify -format '%wx%h' "$icon")
    [ "$actual" = "$folder" ] || fail "$icon is $actual"
    sizes=$((sizes + 1))
done
[ -f "$THEME/48x48/apps/$ID.png" ] || fail "no 48x48 icon, the theme's fallback size"
[ "$sizes" -ge 6 ] || fail "only $sizes icon sizes installed"

# 4. AppStream metainfo.
METAINFO="$PREFIX/share/metainfo/$ID.metainfo.xml"
[ -f "$METAINFO" ] || { fail "no metainfo $ID.metainfo.xml"; exit 1; }
appstreamcli validate --no-net "$METAINFO" >"$WORK/appstream.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$WORK/appstream.txt")"
[ "$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$METAINFO")" = "$ID" ] || fail "metainfo id is not $ID"
grep -qF "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$METAINFO" ||
    fail "the metainfo does not launch $ID.desktop"
newest=$(grep -o '<release version="[^"]*"' "$METAINFO" | head -1 | cut -d'"' -f2)
[ "$newest" = "$VERSION" ] || fail "the newest release in the metainfo is $newest, not $VERSION"
grep -q '<screenshot type="default">' "$METAINFO" || fail "the metainfo has no screenshot"

# 5. Started as the launcher starts it, the program stays up until it is ended.
status=0
(cd "$WORK" && PATH="$PREFIX/bin:$PATH" XDG_CONFIG_HOME="$WORK/config" QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=0 timeout 3 $exec_line) >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the program started from Exec=$exec_line ended with status $status"

# 5. The manual page.
MANPAGE="$PREFIX/share/man/man1/fenrik.1.gz"
[ -f "$MANPAGE" ] || fail "no manual page fenrik.1.gz"
if command -v man >/dev/null; then
    man -l "$MANPAGE" 2>&1 >/dev/null | grep -q . && fail "the manual page has formatting errors"
fi

finish "installed into a temporary prefix: program, reader, desktop entry, $sizes icon sizes, metainfo"
