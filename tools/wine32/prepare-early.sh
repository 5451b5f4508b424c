#!/bin/sh
# Starts preparing the 32-bit bench in the background and returns at once, so
# that `make test` finds the bench ready when it reaches the 32-bit layer
# instead of waiting minutes for it then. Its progress goes to
# build/wine32-bench.txt. The layer's own start of the bench waits for this
# one (the bench's lock) and does again whatever it could not do. Without
# root, or sudo that needs no password, it starts nothing: the layer then
# prepares the bench itself, where sudo may ask.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
    exit 0
fi
mkdir -p "$project/build"
nohup "$here/enter.sh" </dev/null >"$project/build/wine32-bench.txt" 2>&1 &
