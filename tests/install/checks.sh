# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the install checks (sourced): a temporary folder $WORK, removed at exit, and
# failures that are counted so that every check runs before the script ends.
WORK=$(mktemp -d /tmp/fenrik-check-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {  # fail MESSAGE: reports a failed check and goes on
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

finish() {  # finish SUMMARY: exits with 1 after any failed check, else prints SUMMARY
    if [ "$failures" -gt 0 ]; then
        exit 1
    fi
    echo "$*"
}
