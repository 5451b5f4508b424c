#!/bin/sh
# Builds the setup of the product a description file describes, in build
# trees of its own: build/products/NAME/win32 (the shipped 32-bit program)
# and build/products/NAME/win64 (its 64-bit twin with the end-to-end driver,
# which runs here under wine64). NAME is the folder of the description.
# The 32-bit setup is copied to build/products/NAME/SetupMate.exe.
#
# Usage: tools/build-product.sh DESCRIPTION [JOBS] [--with-tests]
#   --with-tests  also build the 64-bit Windows tests for the product
# A description that breaks a rule stops the build with "file:line: rule".
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ ! -f "$1" ]; then
    echo "usage: make setup PRODUCT=path/to/product.ini (no such file: ${1:-})" >&2
    exit 2
fi
description=$(realpath "$1")
. "$root/tools/signing-paths.sh"
jobs=${2:-$(nproc)}
name=$(basename "$(dirname "$description")")
out=$root/build/products/$name
targets="--target SetupMate e2e_driver"
if [ "${3:-}" = "--with-tests" ]; then
    targets=
fi

mkdir -p "$out"
log=$out/configure.txt
for tree in win32 win64; do
    if ! (cd "$root" && cmake --preset "$tree" -B "$out/$tree" -DPRODUCT_DESCRIPTION="$description" >"$log" 2>&1); then
        # The product tool's own lines, "file:line: rule", when it refused the description.
        grep -E '^/[^ ]+:[0-9]+: ' "$log" >&2 || cat "$log" >&2
        echo "setup: $1 cannot be built" >&2
        exit 1
    fi
    if [ "$tree" = win32 ]; then
        cmake --build "$out/$tree" -j "$jobs" --target SetupMate
    else
        # shellcheck disable=SC2086
        cmake --build "$out/$tree" -j "$jobs" $targets
    fi
done
cp "$out/win32/SetupMate.exe" "$out/SetupMate.exe"
echo "setup: ${out#"$root"/}/SetupMate.exe"
