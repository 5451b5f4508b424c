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
#
# WIN32=1 (`make run WIN32=1`) does the same with the shipped 32-bit
# build/win32/SetupMate.exe under 32-bit Wine on the bench of tools/wine32
# (root needed; its first run prepares the bench for some minutes), and puts
# the results under build/run-win32/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${WIN32:-}" ]; then
    build=$root/build/win32
    run=$root/build/run-win32
    scenarios=$root/tools/wine32/e2e.sh
else
    build=$root/build/win64
    run=$root/build/run
    scenarios=$root/tests/e2e/run.sh
fi
setup=$build/SetupMate.exe

if [ ! -f "$setup" ]; then
    echo "run: $setup is missing; run make build first" >&2
    exit 2
fi

if [ -z "${DISPLAY:-}" ]; then
    status=0
    "$scenarios" --out "$run" tour || status=$?
    log=$run/tour/log.txt
    echo
    echo "Screenshots of every screen, in order (${run#"$root"/}/tour/):"
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

if [ -n "${WIN32:-}" ]; then
    # The bench's Wine sees only the project: the display's key goes there.
    if [ -r "${XAUTHORITY:-$HOME/.Xauthority}" ]; then
        mkdir -p "$run"
        cp "${XAUTHORITY:-$HOME/.Xauthority}" "$run/Xauthority"
        export XAUTHORITY=$run/Xauthority
    fi
    status=0
    "$root/tools/wine32/enter.sh" sh "$root/tools/wine32/in-prefix.sh" explorer /desktop=SetupMate,1024x768 "$setup" ||
        status=$?
    echo "Setup Mate (32-bit) ran in a throwaway prefix of the 32-bit Wine bench."
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
