#!/bin/sh
# Runs one Windows program under the bench's 32-bit Wine in a fresh copy of
# the bench's template prefix, and removes the copy afterwards. Runs inside
# the bench (tools/wine32/enter.sh), on the X server that DISPLAY names.
# Usage: in-prefix.sh PROGRAM [ARG...]
set -eu
tools=$(cd "$(dirname "$0")/.." && pwd)
template=$BENCH_HOME/wine-template
prefix=

# The copy lives in the tree, where no bench mount is: a plain delete is safe.
drop_prefix() {
    [ -n "$prefix" ] || return 0
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf --one-file-system "$prefix"
}

trap drop_prefix EXIT
trap 'exit 130' INT TERM
mkdir -p "$BENCH_HOME/prefixes"
prefix=$(mktemp -d "$BENCH_HOME/prefixes/test.XXXXXX")
"$tools/wine/copy-template.sh" "$template" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine "$@"
