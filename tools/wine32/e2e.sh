#!/bin/sh
# The end-to-end scenarios of the shipped build/win32/SetupMate.exe, driven
# by the i686 e2e_driver.exe under 32-bit Wine on the bench: tests/e2e/run.sh
# run inside the bench, with the bench's template prefix, on Xvfbs of the
# host, one for each scenario that runs at a time (E2E_JOBS, default 2: under
# emulation a scenario keeps a core busy), or on the X servers E2E_DISPLAY
# names. Takes the arguments of tests/e2e/run.sh.
# Usage: tools/wine32/e2e.sh [--out DIR] [SCENARIO...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
. "$here/lib.sh"
. "$here/../xvfb.sh"

xvfb_pids=
stop_all_xvfb() {
    for xvfb_pid in $xvfb_pids; do
        stop_xvfb
    done
}
trap stop_all_xvfb EXIT
trap 'exit 130' INT TERM
displays=${E2E_DISPLAY:-}
if [ -z "$displays" ]; then
    for _ in $(seq "${E2E_JOBS:-2}"); do
        start_xvfb || die "Xvfb could not be started"
        xvfb_pids="$xvfb_pids $xvfb_pid"
        displays="$displays $display"
    done
fi
status=0
"$here/enter.sh" env ${WINEDEBUG:+WINEDEBUG=$WINEDEBUG} E2E_DISPLAY="$displays" E2E_BUILD="$project/build/win32" \
    E2E_TEMPLATE="$bench_home/wine-template" E2E_PREFIXES="$bench_home/e2e-prefixes" \
    bash "$project/tests/e2e/run.sh" "$@" || status=$?
exit $status
