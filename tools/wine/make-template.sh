#!/bin/sh
# Makes the template Wine prefix of a build tree once: every Windows test and
# end-to-end scenario runs in a fresh copy of it. Usage: make-template.sh DIR
set -eu
template=$1
[ -f "$template/.complete" ] && exit 0

lock="$template.lock"
exec 9>"$lock"
flock 9
[ -f "$template/.complete" ] && exit 0

rm -rf "$template"
mkdir -p "$(dirname "$template")"
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wineserver -w
touch "$template/.complete"
