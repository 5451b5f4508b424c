#!/bin/sh
# The folder of an earlier installation holding a folder link "Linked" that
# leads out of it, to C:\Outside. Wine cannot make such a link itself.
# Usage: limits_folder_link.sh PREFIX
set -eu
folder="$1/drive_c/$PRODUCT_DEFAULT_FOLDER"
mkdir -p "$folder" "$1/drive_c/Outside"
ln -s "$(realpath --relative-to="$folder" "$1/drive_c/Outside")" "$folder/Linked"
