#!/bin/sh
# A folder whose name begins with katakana "so" (C:\ソフト), holding a folder
# link "Linked" to C:\Outside. Wine cannot make such a link itself.
# Usage: location_two_byte_folder.sh PREFIX
set -eu
folder="$1/drive_c/ソフト"
mkdir -p "$folder" "$1/drive_c/Outside"
ln -s ../Outside "$folder/Linked"
