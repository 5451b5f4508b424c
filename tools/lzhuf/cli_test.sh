#!/bin/sh
# The lzhuf command line: round trips, and clear failures that leave no OUT.
# Usage: cli_test.sh LZHUF
set -u
lzhuf=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() { # description, then the command that must succeed
    description=$1
    shift
    if ! "$@"; then
        echo "FAILED: $description"
        failures=$((failures + 1))
    fi
}
fails_without_out() { # OUT, then the lzhuf arguments
    out=$1
    shift
    "$lzhuf" "$@" >/dev/null 2>"$dir/stderr"
    status=$?
    [ $status -ne 0 ] && [ -s "$dir/stderr" ] && [ ! -e "$out" ] && [ ! -e "$out.partial" ]
}

printf 'Tidy Kit keeps your desktop neat.\r\n%.0s' $(seq 200) >"$dir/in.txt"
size=$(wc -c <"$dir/in.txt")
check "pack" "$lzhuf" pack "$dir/in.txt" "$dir/in.lzh" >/dev/null
check "unpack" "$lzhuf" unpack "$dir/in.lzh" "$dir/out.txt" "$size"
check "round trip" cmp -s "$dir/in.txt" "$dir/out.txt"
check "greedy pack" "$lzhuf" pack --greedy "$dir/in.txt" "$dir/greedy.lzh" >/dev/null
check "empty file" sh -c ": >'$dir/empty' && '$lzhuf' pack '$dir/empty' '$dir/empty.lzh' >/dev/null && [ ! -s '$dir/empty.lzh' ]"

check "no arguments" fails_without_out "$dir/none"
check "unknown command" fails_without_out "$dir/x.lzh" squeeze "$dir/in.txt" "$dir/x.lzh"
check "missing input" fails_without_out "$dir/y.lzh" pack "$dir/missing.txt" "$dir/y.lzh"
check "bad size" fails_without_out "$dir/z.txt" unpack "$dir/in.lzh" "$dir/z.txt" 12abc
check "size too large" fails_without_out "$dir/z.txt" unpack "$dir/in.lzh" "$dir/z.txt" 4294967296
check "unwritable output" fails_without_out "$dir/no/such/folder/out.lzh" pack "$dir/in.txt" "$dir/no/such/folder/out.lzh"
check "input is a folder" fails_without_out "$dir/w.lzh" pack "$dir" "$dir/w.lzh"

[ $failures -eq 0 ] && echo "lzhuf command line: all checks passed"
exit $failures
