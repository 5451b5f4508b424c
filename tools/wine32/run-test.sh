#!/bin/sh
# ctest's emulator for the 32-bit build's Windows tests: runs one test
# program on the 32-bit Wine bench, in its own prefix and on its own Xvfb, so
# that `ctest --preset win32 -R NAME` works on its own.
# Usage: run-test.sh PROGRAM [ARG...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/../xvfb.sh"

xvfb_pid=
trap stop_xvfb EXIT
trap 'exit 130' INT TERM
start_xvfb || die "Xvfb could not be started"
status=0
DISPLAY=$display "$here/enter.sh" sh "$here/in-prefix.sh" "$@" || status=$?
exit $status
