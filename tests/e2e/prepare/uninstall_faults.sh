#!/bin/sh
# A recorded install folder that is a link to someone else's folder holding a
# file of a payload row's name. Wine cannot make such a link itself.
# Usage: uninstall_faults.sh PREFIX
set -eu
mkdir -p "$1/drive_c/Linked" "$1/drive_c/Elsewhere"
echo "someone else's program" >"$1/drive_c/Elsewhere/$PRODUCT_PROGRAM_FILE"
ln -s ../Elsewhere "$1/drive_c/Linked/$PRODUCT_NAME"
