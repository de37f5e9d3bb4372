#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder with `cpack -G DEB` and checks it:
#  1. it holds the program, its GPX reader, the desktop entry, the metainfo and the icons below
#     /usr;
#  2. it depends on the package of every library its programs link, and the installed
#     program's desktop entry is valid where the package puts it;
#  3. lintian, where it is installed, reports nothing on it.
# The package stays in the build folder.
# Usage: check_deb.sh CPACK BUILD_DIR APP_ID
set -euo pipefail
CPACK=$1
BUILD=$2
ID=$3
source "$(dirname "$0")/checks.sh"

cd "$BUILD"
rm -f fenrik_*.deb
"$CPACK" -G DEB >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; exit 1; }
packages=(fenrik_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "FAIL: no single fenrik_*.deb" >&2; exit 1; }
DEB="$BUILD/${packages[0]}"

# 1. Contents.
dpkg-deb -x "$DEB" "$WORK/root"
for file in usr/bin/fenrik usr/libexec/fenrik/fenrik-gpx-reader \
    "usr/share/applications/$ID.desktop" "usr/share/metainfo/$ID.metainfo.xml" \
    "usr/share/icons/hicolor/48x48/apps/$ID.png" usr/share/doc/fenrik/copyright \
    usr/share/doc/fenrik/changelog.gz usr/share/man/man1/fenrik.1.gz; do
    [ -e "$WORK/root/$file" ] || fail "the package lacks /$file"
done
desktop-file-validate "$WORK/root/usr/share/applications/$ID.desktop" ||
    fail "the packaged desktop entry is not valid"
grep -q '^License: GPL-3.0-or-later$' "$WORK/root/usr/share/doc/fenrik/copyright" ||
    fail "the packaged copyright file does not name the licence"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$WORK/root/usr/share/metainfo/$ID.metainfo.xml" || fail "the metainfo names no project licence"

# 2. Dependencies: the package of each library the programs need must be among them.
depends=$(dpkg-deb -f "$DEB" Depends)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for program in usr/bin/fenrik usr/libexec/fenrik/fenrik-gpx-reader; do
    for library in $(objdump -p "$WORK/root/$program" | awk '/NEEDED/ {print $2}'); do
        owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | cut -d: -f1 | sort -u | head -1)
        [ -n "$owner" ] || { fail "no package holds $library, which /$program needs"; continue; }
        case ", $depends," in
            *", $owner "* | *", $owner,"*) ;;
            *) fail "/$program needs $library from $owner, but the package depends on: $depends" ;;
        esac
    done
done

# 3. Debian's package checks.
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$DEB" >"$WORK/lintian.log" 2>&1 || true
    if grep -v 'running with root privileges' "$WORK/lintian.log" | grep -q .; then
        fail "lintian reports: $(grep -v 'running with root privileges' "$WORK/lintian.log")"
    fi
fi

finish "$(basename "$DEB"): contents as installed; depends on $depends"
