#!/bin/sh
# Builds a product's 32-bit setup once more, from a copy of the project's
# sources in another folder and into a build tree of its own, and compares
# the setup and its uninstaller byte for byte with an earlier build: a
# release is reproducible when they are the same. The signing variables, if
# set, sign the second build as they signed the first.
#
# Usage: tools/check-reproducible.sh DESCRIPTION BUILD_TREE [JOBS]
#   BUILD_TREE  the earlier build's 32-bit tree, e.g. build/products/NAME/win32
# Prints the SHA-256 sums of the compared files; exit status 1 when they differ.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 2 ] || [ ! -f "$1" ] || [ ! -f "$2/SetupMate.exe" ]; then
    echo "usage: tools/check-reproducible.sh DESCRIPTION BUILD_TREE [JOBS] (BUILD_TREE holds SetupMate.exe)" >&2
    exit 2
fi
description=$(realpath "$1")
first=$(realpath "$2")
jobs=${3:-$(nproc)}
. "$root/tools/signing-paths.sh"

# The copy lies below build/, away from the sources; a description inside the
# project is taken from the copy.
work=$root/build/reproducible
sources=$work/sources
second=$work/win32
rm -rf "$work"
mkdir -p "$sources"
(cd "$root" && tar -c --exclude=./build --exclude=./.git .) | tar -x -C "$sources"
case $description in
"$root"/*) description=$sources/${description#"$root"/} ;;
esac
log=$work/build.txt
if ! (cd "$sources" && cmake --preset win32 -B "$second" -DHOST_TOOLS_DIR="$root/build/host/bin" \
    -DPRODUCT_DESCRIPTION="$description" && cmake --build "$second" -j "$jobs" --target SetupMate) >"$log" 2>&1; then
    cat "$log" >&2
    echo "reproducible: the second build failed" >&2
    exit 1
fi

. "$second/generated/product.env"
status=0
for file in SetupMate.exe "generated/payload/$PRODUCT_UNINSTALLER_FILE"; do
    sum=$(sha256sum <"$first/$file" | cut -d' ' -f1)
    if cmp -s "$first/$file" "$second/$file"; then
        echo "reproducible: $sum  ${file##*/}"
    else
        echo "reproducible: ${file##*/} differs in $(cmp -l "$first/$file" "$second/$file" 2>/dev/null | wc -l) bytes" \
            "between $first and $second" >&2
        status=1
    fi
done
exit $status
