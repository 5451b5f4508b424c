#!/bin/bash
# Runs Setup Mate (build/win64/SetupMate.exe) under Wine, in a fresh copy of
# the template prefix under build/run/, never in ~/.wine. `make run` calls it
# after building.
#
# With a display ($DISPLAY set) the wizard opens in a Wine virtual desktop
# window of 1024 x 768 for you to click through. Without one, Xvfb is started,
# the end-to-end driver tours the wizard with its defaults, a PNG of every
# screen is saved under build/run/tour/, and what ended up on the machine is
# printed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
setup=$build/SetupMate.exe
run=$root/build/run

if [ ! -f "$setup" ]; then
    echo "run: $setup is missing; run make build first" >&2
    exit 2
fi

if [ -z "${DISPLAY:-}" ]; then
    status=0
    "$root/tests/e2e/run.sh" --out "$run" tour || status=$?
    log=$run/tour/log.txt
    echo
    echo "Screenshots of every screen, in order (build/run/tour/):"
    for picture in "$run"/tour/*.png; do
        [ -e "$picture" ] && echo "  ${picture#"$root"/}"
    done
    echo
    echo "What the setup left on the machine:"
    sed -n '/^files on drive C:/,/^RESULT/p' "$log" | grep -v '^RESULT' | sed 's/^/  /'
    echo
    if [ "$status" -eq 0 ]; then
        echo "The tour passed: every screen appeared and the installation completed."
    else
        echo "The tour failed; its log is ${log#"$root"/}." >&2
    fi
    exit $status
fi

prefix=$run/prefix
"$root/tools/wine/make-template.sh" "$build/wine-template"
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
"$root/tools/wine/copy-template.sh" "$build/wine-template" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
status=0
wine explorer /desktop=SetupMate,1024x768 "$setup" || status=$?
wineserver -w
echo "Setup Mate ran in the Wine prefix ${prefix#"$root"/}; its drive C: is ${prefix#"$root"/}/drive_c."
exit $status
