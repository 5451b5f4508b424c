#!/bin/sh
# The end-to-end scenarios of the shipped build/win32/SetupMate.exe, driven
# by the i686 e2e_driver.exe under 32-bit Wine on the bench: tests/e2e/run.sh
# run inside the bench, with the bench's template prefix, on an Xvfb of the
# host (or on E2E_DISPLAY). Takes the arguments of tests/e2e/run.sh.
# Usage: tools/wine32/e2e.sh [--out DIR] [SCENARIO...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
. "$here/lib.sh"
. "$here/../xvfb.sh"

xvfb_pid=
trap stop_xvfb EXIT
trap 'exit 130' INT TERM
if [ -n "${E2E_DISPLAY:-}" ]; then
    display=$E2E_DISPLAY
else
    start_xvfb || die "Xvfb could not be started"
fi
status=0
"$here/enter.sh" env ${WINEDEBUG:+WINEDEBUG=$WINEDEBUG} E2E_DISPLAY="$display" E2E_BUILD="$project/build/win32" \
    E2E_TEMPLATE="$bench_home/wine-template" E2E_PREFIXES="$bench_home/e2e-prefixes" \
    bash "$project/tests/e2e/run.sh" "$@" || status=$?
exit $status
