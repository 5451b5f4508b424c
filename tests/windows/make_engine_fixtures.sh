#!/bin/sh
# Makes the file installation tests' fixtures anew, whatever an earlier run
# left in them: a folder link inside a folder to be cleared (linked/link,
# leading to outside/), and a file on a full disk (the uninstaller's name in
# full-disk/, a link to /dev/full). Only the Linux side can make these.
# Usage: make_engine_fixtures.sh FOLDER UNINSTALLER_FILE
set -eu
folder=$1
rm -rf "$folder"
mkdir -p "$folder/outside" "$folder/linked" "$folder/full-disk"
ln -s "$folder/outside" "$folder/linked/link"
ln -s /dev/full "$folder/full-disk/$2"
