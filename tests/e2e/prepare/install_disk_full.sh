#!/bin/sh
# The folder of an earlier installation whose data row's file, one that
# clearing keeps, is a link to /dev/full: every write to it fails as on a
# full disk. Wine cannot make such a link itself.
# Usage: install_disk_full.sh PREFIX
set -eu
folder="$1/drive_c/$PRODUCT_DEFAULT_FOLDER"
mkdir -p "$folder"
ln -s /dev/full "$folder/$PRODUCT_DATA_FILE"
