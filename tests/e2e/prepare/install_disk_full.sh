#!/bin/sh
# The folder of an earlier installation whose Add-Ons.dat, a data file that
# clearing keeps, is a link to /dev/full: every write to it fails as on a
# full disk. Wine cannot make such a link itself.
# Usage: install_disk_full.sh PREFIX
set -eu
folder="$1/drive_c/Moorfield Systems/Tidy Kit"
mkdir -p "$folder"
ln -s /dev/full "$folder/Add-Ons.dat"
