#!/bin/sh
# A recorded install folder that is a link to someone else's folder holding a
# file of a payload row's name. Wine cannot make such a link itself.
# Usage: uninstall_faults.sh PREFIX
set -eu
mkdir -p "$1/drive_c/Linked" "$1/drive_c/Elsewhere"
echo "someone else's program" >"$1/drive_c/Elsewhere/Tidy Kit.exe"
ln -s ../Elsewhere "$1/drive_c/Linked/Tidy Kit"
