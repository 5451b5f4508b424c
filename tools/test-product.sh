#!/bin/sh
# The example product (examples/quill-notes) proves that a description and
# its files alone make a working setup: its setup is built, the Windows tests
# run against it, and the end-to-end driver tours it (installs it and checks
# the machine against the description) and then removes it with its own
# uninstaller.
#
# Usage: tools/test-product.sh [JOBS]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/products/quill-notes/win64

"$root/tools/build-product.sh" "$root/examples/quill-notes/product.ini" "${1:-$(nproc)}" --with-tests || exit 1
status=0
ctest --test-dir "$build" --output-on-failure --timeout 600 || status=1
E2E_BUILD=$build "$root/tests/e2e/run.sh" --out "$root/build/e2e-products/quill-notes" \
    tour install_happy_path uninstall_after_install || status=1
exit $status
