#!/bin/sh
# Checks that the bench keeps the machine safe: a delete of a bench tree
# never reaches into a folder mounted below it, and a bench stopped by a
# signal leaves neither its emulator handler nor a mount behind.
# tools/wine32/test.sh runs it first; it needs root, and the bench prepared.
# Prints one line per check and "bench: N passed, M failed".
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

passed=0
failed=0
scratch=

report() {
    if [ "$1" = ok ]; then
        passed=$((passed + 1))
        echo "ok   $2"
    else
        failed=$((failed + 1))
        echo "FAIL $2"
    fi
}

# Whether the handler is registered, seen through a binfmt_misc mount that
# lives only as long as the look.
handler_registered() {
    unshare --mount --propagation private sh -c \
        "mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || true; test -e $binfmt/$handler"
}

# Whether any process still sees a mount inside the bench's tree.
tree_mounted_anywhere() {
    grep -qs " $rootfs/" /proc/[0-9]*/mountinfo
}

# In a namespace of its own: a tree holding a bind of a precious folder (as
# the tree once held the host's /dev) and a tmpfs in a folder whose name has a
# space, beside a tree whose name starts like it.
check_remove_tree() {
    scratch=$(mktemp -d)
    # shellcheck disable=SC2016
    result=$(unshare --mount --propagation private sh -c '
        . "$1/lib.sh"
        t=$2
        mkdir -p "$t/precious" "$t/tree/dev" "$t/tree/with space" "$t/tree2"
        echo keep > "$t/precious/node"
        mount --bind "$t/precious" "$t/tree/dev"
        mount -t tmpfs scratch "$t/tree/with space"
        mount -t tmpfs scratch "$t/tree2"
        echo "listed $(mounts_under "$t/tree" | tr "\n" "|")"
        remove_tree "$t/tree"
        echo "after $(cat "$t/precious/node" 2>/dev/null) $(test -e "$t/tree" && echo tree-left || echo tree-gone)"
        echo "beside $(mounts_under "$t/tree2")"
        umount "$t/tree2"' sh "$here" "$scratch" 2>&1) || true
    case $result in
    *"listed $scratch/tree/with space|$scratch/tree/dev|"*) report ok "mounts below a tree are listed deepest first, names with spaces whole" ;;
    *) report fail "mounts below a tree are listed deepest first: $result" ;;
    esac
    case $result in
    *"after keep tree-gone"*) report ok "deleting a tree unmounts first: the bound folder keeps its files" ;;
    *) report fail "deleting a tree unmounts first: $result" ;;
    esac
    case $result in
    *"beside $scratch/tree2"*) report ok "a tree whose name starts alike is not taken for a folder below" ;;
    *) report fail "a tree whose name starts alike is not taken for a folder below: $result" ;;
    esac
    rm -rf --one-file-system "$scratch"
}

# A bench whose caller is stopped by TERM, as ctest's time limit or Ctrl-C
# stops it, ends its command and undoes its set-up.
check_stopped_bench() {
    "$here/enter.sh" sleep 600 &
    bench=$!
    for _ in $(seq 300); do
        handler_registered && tree_mounted_anywhere && break
        sleep 0.1
    done
    handler_registered && tree_mounted_anywhere &&
        report ok "a running bench has its handler and its mounts" ||
        report fail "a running bench has its handler and its mounts"
    kill -TERM "$bench"
    wait "$bench" 2>/dev/null || true
    for _ in $(seq 100); do
        handler_registered || tree_mounted_anywhere || break
        sleep 0.1
    done
    handler_registered && report fail "a stopped bench removes its handler" || report ok "a stopped bench removes its handler"
    tree_mounted_anywhere && report fail "a stopped bench leaves no mount" || report ok "a stopped bench leaves no mount"
}

need_root "$@"
check_remove_tree
check_stopped_bench
echo "bench: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
