#!/bin/sh
# Runs one Windows program under wine64 in its own copy of the build tree's
# template prefix and on its own X server, and removes both afterwards. Used as the cross-compiling
# emulator, so every test executable gets one Wine process and a clean machine.
# The template lives beside the program's build tree (build/win64/wine-template);
# WINE_TEMPLATE overrides it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift
build_dir=$(cd "$(dirname "$program")/.." && pwd)
template=${WINE_TEMPLATE:-$build_dir/wine-template}
"$here/make-template.sh" "$template"

mkdir -p "$build_dir/wine-prefixes"
prefix=$(mktemp -d "$build_dir/wine-prefixes/test.XXXXXX")
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM
"$here/copy-template.sh" "$template" "$prefix"

export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
status=0
xvfb-run -a -s "-screen 0 1024x768x24" wine "$program" "$@" || status=$?
exit $status
