#!/bin/bash
# Runs the end-to-end scenarios: each one in a fresh copy of the template Wine
# prefix, in a Wine virtual desktop of 1024 x 768 on one Xvfb for the whole
# suite, under its own time limit. Builds nothing (make does that).
#
# Usage: tests/e2e/run.sh [--out DIR] [SCENARIO...]
#   SCENARIO  run only these (default: all that the driver lists)
#   --out DIR the screenshots and logs go to DIR/<scenario>/ (default build/e2e)
# E2E_DISPLAY=:N runs on that X server instead of starting Xvfb; WINEDEBUG
# (default -all) turns on Wine's traces, written to each scenario's wine.txt.
# E2E_BUILD=DIR drives the setup and the driver of that build tree (default
# build/win64); E2E_TEMPLATE and E2E_PREFIXES put the template prefix and the
# scenarios' prefixes elsewhere (the 32-bit bench keeps them in its own tree).
#
# Prints one line per scenario (with its failed checks) and ends with
# "N passed, M failed"; the exit status is non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
# Paths may be given relative to the folder the run starts in.
build=$(realpath -m "${E2E_BUILD:-$root/build/win64}")
driver=$build/bin/e2e_driver.exe
setup=$build/SetupMate.exe
template=$(realpath -m "${E2E_TEMPLATE:-$build/wine-template}")
out=$root/build/e2e
wine_tools=$root/tools/wine

if [ "${1:-}" = "--out" ]; then
    out=$(realpath -m "$2")
    shift 2
fi
product_env=$build/generated/product.env
for file in "$driver" "$setup" "$product_env"; do
    if [ ! -f "$file" ]; then
        echo "e2e: $file is missing; run make build first" >&2
        exit 2
    fi
done

# The product's facts, for the preparations: its name, its default folder
# below drive_c and the names of its program and data rows.
set -a
. "$product_env"
set +a

# Windows paths of files here: drive Z: is the root of the host's file system.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

prefixes=$(realpath -m "${E2E_PREFIXES:-$build/e2e-prefixes}")
prefix=
xvfb_pid=
cleanup() {
    if [ -n "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        rm -rf "$prefix"
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

. "$root/tools/xvfb.sh"

new_prefix() {
    mkdir -p "$prefixes"
    prefix=$(mktemp -d "$prefixes/prefix.XXXXXX")
    "$wine_tools/copy-template.sh" "$template" "$prefix"
}

drop_prefix() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    rm -rf "$prefix"
    prefix=
}

# A scenario that needs another locale names it in prepare/NAME.locale (such
# as ja_JP.UTF-8, under which Wine takes code page 932). The locale is compiled
# once into build/locales from the definitions of Debian's locales package, so
# that the host's own locale settings stay as they are.
locales=$root/build/locales
locale_environment() {
    local wanted=$1
    if [ ! -f "$locales/$wanted/LC_CTYPE" ]; then
        mkdir -p "$locales"
        localedef -i "${wanted%%.*}" -f "${wanted#*.}" "$locales/$wanted" >/dev/null 2>&1
        [ -f "$locales/$wanted/LC_CTYPE" ] || echo "e2e: the locale $wanted could not be compiled" >&2
    fi
    scenario_environment=(LOCPATH="$locales" LANG="$wanted" LC_ALL="$wanted")
}

"$wine_tools/make-template.sh" "$template" || exit 2
if [ -n "${E2E_DISPLAY:-}" ]; then
    display=$E2E_DISPLAY
else
    start_xvfb || { echo "e2e: Xvfb could not be started" >&2; exit 2; }
fi
export DISPLAY=$display WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

# The scenarios and their time limits, as the driver lists them.
new_prefix
listing=$(WINEPREFIX=$prefix timeout 60 wine "$driver" --list 2>/dev/null | tr -d '\r')
drop_prefix
declare -A limits
all=()
while read -r name limit; do
    [ -n "$name" ] || continue
    limits[$name]=$limit
    all+=("$name")
done <<<"$listing"
if [ ${#all[@]} -eq 0 ]; then
    echo "e2e: the driver lists no scenario" >&2
    exit 2
fi
if [ $# -gt 0 ]; then
    chosen=("$@")
else
    chosen=("${all[@]}")
fi

# One run of scenario NAME with its output in FOLDER, in a fresh prefix.
# What Wine cannot prepare itself is prepared from the Unix side by
# prepare/NAME.sh, given the prefix. Wine's start.exe starts explorer (and
# passes the driver its standard output, which explorer alone does not).
run_in_fresh_prefix() {
    new_prefix
    # What Wine cannot prepare itself is prepared from the Unix side by
    # prepare/NAME.sh, given the prefix; prepare/NAME.locale names a locale.
    local preparation=$root/tests/e2e/prepare/$1.sh
    if [ -f "$preparation" ]; then
        timeout 60 sh "$preparation" "$prefix" || echo "e2e: $preparation failed" >&2
    fi
    scenario_environment=()
    if [ -f "$root/tests/e2e/prepare/$1.locale" ]; then
        locale_environment "$(cat "$root/tests/e2e/prepare/$1.locale")"
    fi
    # The driver keeps its own time limit; this one catches Wine itself hanging.
    env "${scenario_environment[@]}" WINEPREFIX="$prefix" timeout -k 5 $((limits[$1] + 30)) \
        wine explorer /desktop=SetupMate,1024x768 "$driver" \
        --setup "$(windows_path "$setup")" --source "$(windows_path "$root")" \
        --out "$(windows_path "$2")" "$1" >"$2/log.txt" 2>"$2/wine.txt"
    drop_prefix
}

# The driver's first line names the scenario: a log without it is a start
# that never reached the driver, so nothing of the scenario ran. Wine's
# start of explorer in a new prefix rarely fails ("ShellExecuteEx failed:
# Internal error", its new process ended before it had started): such a
# start is made once more in a fresh prefix.
reached_driver() { grep -q "^scenario $1 " "$2/log.txt"; }

passed=0
failed=0
for name in "${chosen[@]}"; do
    folder=$out/$name
    rm -rf "$folder"
    mkdir -p "$folder"
    if [ -z "${limits[$name]:-}" ]; then
        echo "FAIL $name: no such scenario" | tee "$folder/log.txt"
        failed=$((failed + 1))
        continue
    fi
    started=$(date +%s.%N)
    run_in_fresh_prefix "$name" "$folder"
    if ! reached_driver "$name" "$folder"; then
        first_start=$(cat "$folder/log.txt" "$folder/wine.txt")
        run_in_fresh_prefix "$name" "$folder"
        { echo "e2e: the first start never reached the driver and was made again; Wine wrote:"
          echo "$first_start" | sed 's/^/    /'
          cat "$folder/log.txt"; } >"$folder/log.retried"
        mv "$folder/log.retried" "$folder/log.txt"
        echo "note $name: the first start never reached the driver; started again (see its log)"
    fi
    seconds=$(echo "$started" | awk -v now="$(date +%s.%N)" '{ printf "%.1f", now - $1 }')
    if grep -q '^RESULT: PASS' "$folder/log.txt"; then
        echo "PASS $name (${seconds} s)"
        passed=$((passed + 1))
    else
        echo "FAIL $name (${seconds} s), log: ${folder#"$root"/}/log.txt"
        grep -a -A2 '^  FAIL' "$folder/log.txt" | grep -a -v '^  ok\|^  note\|^  step\|^--$\|^RESULT' | sed 's/^/    /'
        grep -q '^RESULT' "$folder/log.txt" || echo "    the driver ended without a result"
        failed=$((failed + 1))
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
