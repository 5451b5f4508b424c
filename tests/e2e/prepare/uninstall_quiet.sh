#!/bin/sh
# A Start Menu on a share (\\Server\Share, which Wine maps through its
# dosdevices) and one whose profile folder is a link to another folder.
# Usage: uninstall_quiet.sh PREFIX
set -eu
mkdir -p "$1/dosdevices/unc/server/share/Programs" "$1/drive_c/Profile Store/Programs"
ln -s "Profile Store" "$1/drive_c/Moved Profile"
