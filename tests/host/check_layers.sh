#!/bin/sh
# The sources' layers, lowest first: rules (no Win32), the product's facts,
# the engine, and the two programs on top. A file includes only from its own
# layer or those below it, neither program from the other, and no two parts
# need each other, however many files apart.
# Usage: check_layers.sh SOURCE_ROOT
set -eu
cd "$1/src"
layer_of() {
    case "$1" in
    rules/*) echo 0 ;;
    product/*) echo 1 ;;
    engine/*) echo 2 ;;
    setup/* | uninstall/*) echo 3 ;;
    *) echo ? ;;
    esac
}
# The generated headers: the product's description from the facts up, the
# resource ids in the programs only.
generated_layer() {
    case "$1" in
    product.h | payload_sizes.h | product_record.inc) echo 1 ;;
    resource.h) echo 3 ;;
    *) echo ? ;;
    esac
}

failed=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for file in $(find rules product engine setup uninstall -name '*.cpp' -o -name '*.h' | sort); do
    own=$(layer_of "$file")
    program=${file%%/*}
    if [ "$own" = 0 ] && grep -q '^#include <windows.h>' "$file"; then
        echo "$file: the rules need no Win32" >&2
        failed=1
    fi
    for included in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
        case "$included" in
        */*) target=$(layer_of "$included") ;;
        *) target=$(generated_layer "$included") ;;
        esac
        if [ "$target" = ? ] || [ "$target" -gt "$own" ]; then
            echo "$file includes $included from a layer above its own" >&2
            failed=1
        elif [ "$target" = 3 ] && [ "${included%%/*}" != "$program" ] && [ "${included#*/}" != "$included" ]; then
            echo "$file includes $included from the other program" >&2
            failed=1
        fi
        [ "${included#*/}" != "$included" ] && echo "${file%.*} ${included%.*}" >>"$edges"
    done
done
# tsort names every part of a loop; a part's own header is no edge.
if ! awk '$1 != $2' "$edges" | tsort >/dev/null 2>"$edges.loops"; then
    echo "parts that need each other:" >&2
    grep -v 'input contains a loop' "$edges.loops" | sed 's/^tsort: /  /' >&2
    failed=1
fi
rm -f "$edges.loops"
[ "$failed" = 0 ] && echo "every include runs to its own layer or one below"
exit "$failed"
