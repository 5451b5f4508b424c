#!/bin/sh
# Makes the template Wine prefix of a build tree once: every Windows test and
# end-to-end scenario runs in a fresh copy of it (copy-template.sh).
# Usage: make-template.sh DIR
set -eu
template=$(realpath -m "$1")
# The marker holds this script's checksum: a changed recipe makes a new template.
recipe=$(cksum < "$0")
is_current() { [ "$(cat "$template/.complete" 2>/dev/null)" = "$recipe" ]; }
is_current && exit 0

lock="$template.lock"
exec 9>"$lock"
flock 9
is_current && exit 0

rm -rf "$template"
mkdir -p "$(dirname "$template")"
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# A crash ends the program instead of waiting in a dialog for a user.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# 64-bit Windows has the list of installed programs in the 32-bit view too,
# where the shipped 32-bit setup records itself; a new Wine prefix lacks it.
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32 /f >/dev/null 2>&1
wineserver -w

# Wine's own fonts (MS Sans Serif, Marlett for the caption buttons, ...) are
# looked up in the prefix's Fonts folder; without them DejaVu stands in.
cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/"
# The user's folders are links into the host's home: make them the prefix's own.
for link in "$template"/drive_c/users/*/* "$template"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir "$link"
    fi
done
echo "$recipe" > "$template/.complete"
