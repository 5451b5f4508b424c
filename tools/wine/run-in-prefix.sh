#!/bin/sh
# Runs one Windows program under wine64 in its own copy of the build tree's
# template prefix and on its own X server, and removes both afterwards. Used
# as the cross-compiling emulator, so every test executable gets one Wine
# process and a clean machine, and ctest can run several side by side (the
# X server's number is the one it chose itself, never a guess that two
# starts could share).
# The template lives beside the program's build tree (build/win64/wine-template);
# WINE_TEMPLATE overrides it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift
build_dir=$(cd "$(dirname "$program")/.." && pwd)
template=${WINE_TEMPLATE:-$build_dir/wine-template}
"$here/make-template.sh" "$template"
. "$here/../xvfb.sh"

mkdir -p "$build_dir/wine-prefixes"
prefix=$(mktemp -d "$build_dir/wine-prefixes/test.XXXXXX")
xvfb_pid=
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
"$here/copy-template.sh" "$template" "$prefix"
start_xvfb || { echo "run-in-prefix: Xvfb could not be started" >&2; exit 2; }

export DISPLAY=$display WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
status=0
wine "$program" "$@" || status=$?
exit $status
