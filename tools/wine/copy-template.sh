#!/bin/sh
# Makes PREFIX a fresh copy of the template prefix TEMPLATE, quickly: the
# program files (about 700 MB that Wine only reads) become hard links, every
# other file (registry, settings, anything Wine rewrites in place) a real copy.
# Usage: copy-template.sh TEMPLATE PREFIX
set -eu
template=$1
prefix=$2
mkdir -p "$prefix"
cp -al "$template/." "$prefix/"
cd "$template"
find . -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' -o -iname '*.ocx' \
    -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.tlb' -o -iname '*.ax' -o -iname '*.ds' -o -iname '*.nls' \
    -o -iname '*.fon' -o -iname '*.ttf' \) -print0 |
    xargs -0 cp -a --parents --remove-destination -t "$prefix"
