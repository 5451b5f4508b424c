#!/bin/sh
# While the setup writes its rows, the install folder is renamed from the
# Unix side, which no Windows handle can deny, and a link to C:\Victim takes
# its place, as soon as the first row's file is there.
# Usage: install_folder_swapped.sh PREFIX
set -eu
folder="$1/drive_c/$PRODUCT_DEFAULT_FOLDER"
victim="$1/drive_c/Victim"
mkdir -p "$victim"
echo "not the product's" >"$victim/precious.txt"
# The watcher gives up after two minutes, or when the prefix is gone.
(
    for _ in $(seq 2400); do
        [ -d "$1" ] || exit 0
        if [ -n "$(find "$folder" -maxdepth 1 -type f 2>/dev/null | head -n 1)" ]; then
            mv "$folder" "$folder.aside"
            ln -s "$(realpath --relative-to="$(dirname "$folder")" "$victim")" "$folder"
            exit 0
        fi
        sleep 0.05
    done
) >/dev/null 2>&1 &
