#!/bin/bash
# Runs the end-to-end scenarios: each one in a fresh copy of the template Wine
# prefix, in a Wine virtual desktop of 1024 x 768, under its own time limit.
# Several run side by side, each on an Xvfb of its own, the longest first;
# what one scenario does never reaches another (its own prefix, wineserver,
# display and output folder). Builds nothing (make does that).
#
# Usage: tests/e2e/run.sh [--out DIR] [SCENARIO...]
#   SCENARIO  run only these (default: all that the driver lists)
#   --out DIR the screenshots and logs go to DIR/<scenario>/ (default build/e2e)
# E2E_JOBS=N runs N scenarios at a time (default 3). E2E_DISPLAY=":N ..."
# runs on those X servers, one scenario at a time on each, instead of starting
# Xvfb; WINEDEBUG (default -all) turns on Wine's traces, written to each
# scenario's wine.txt.
# E2E_BUILD=DIR drives the setup and the driver of that build tree (default
# build/win64); E2E_TEMPLATE and E2E_PREFIXES put the template prefix and the
# scenarios' prefixes elsewhere (the 32-bit bench keeps them in its own tree).
#
# Prints one line per scenario as it ends (with its failed checks) and ends
# with "N passed, M failed"; the exit status is non-zero on any failure.
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
# A worker's state: the prefix it runs in and its running scenario.
prefix=
scenario_pid=
# The run's state: the workers, the X servers it started, the queue.
workers=()
xvfb_pids=()
queue=

new_prefix() {
    mkdir -p "$prefixes"
    prefix=$(mktemp -d "$prefixes/prefix.XXXXXX")
    "$wine_tools/copy-template.sh" "$template" "$prefix"
}

drop_prefix() {
    [ -n "$prefix" ] || return 0
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    rm -rf "$prefix"
    prefix=
}

# The workers first, each ending its scenario and dropping its prefix, then
# the X servers they ran on.
cleanup() {
    local pid
    for pid in "${workers[@]}"; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in "${workers[@]}"; do
        wait "$pid" 2>/dev/null
    done
    drop_prefix
    for pid in "${xvfb_pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [ -z "$queue" ] || rm -rf "$queue"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

. "$root/tools/xvfb.sh"

# A scenario that needs another locale names it in prepare/NAME.locale (such
# as ja_JP.UTF-8, under which Wine takes code page 932). The locale is compiled
# once into build/locales from the definitions of Debian's locales package, so
# that the host's own locale settings stay as they are.
locales=$root/build/locales
scenario_locale() { cat "$root/tests/e2e/prepare/$1.locale" 2>/dev/null; }
compile_locale() {
    local wanted=$1
    [ ! -f "$locales/$wanted/LC_CTYPE" ] || return 0
    mkdir -p "$locales"
    localedef -i "${wanted%%.*}" -f "${wanted#*.}" "$locales/$wanted" >/dev/null 2>&1
    [ -f "$locales/$wanted/LC_CTYPE" ] || echo "e2e: the locale $wanted could not be compiled" >&2
}

"$wine_tools/make-template.sh" "$template" || exit 2

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

failed=0
known=()
for name in "${chosen[@]}"; do
    folder=$out/$name
    rm -rf "$folder"
    mkdir -p "$folder"
    if [ -z "${limits[$name]:-}" ]; then
        echo "FAIL $name: no such scenario" | tee "$folder/log.txt"
        failed=$((failed + 1))
    else
        known+=("$name")
        [ -z "$(scenario_locale "$name")" ] || compile_locale "$(scenario_locale "$name")"
    fi
done

# One run of scenario NAME with its output in FOLDER, in a fresh prefix.
# What Wine cannot prepare itself is prepared from the Unix side by
# prepare/NAME.sh, given the prefix. Wine's start.exe starts explorer (and
# passes the driver its standard output, which explorer alone does not).
# The run goes on in the background, so that a worker told to stop ends it
# at once.
run_in_fresh_prefix() {
    new_prefix
    local preparation=$root/tests/e2e/prepare/$1.sh
    if [ -f "$preparation" ]; then
        timeout 60 sh "$preparation" "$prefix" || echo "e2e: $preparation failed" >&2
    fi
    local environment=() wanted
    wanted=$(scenario_locale "$1")
    [ -z "$wanted" ] || environment=(LOCPATH="$locales" LANG="$wanted" LC_ALL="$wanted")
    # The driver keeps its own time limit; this one catches Wine itself hanging.
    env "${environment[@]}" WINEPREFIX="$prefix" timeout -k 5 $((limits[$1] + 30)) \
        wine explorer /desktop=SetupMate,1024x768 "$driver" \
        --setup "$(windows_path "$setup")" --source "$(windows_path "$root")" \
        --out "$(windows_path "$2")" "$1" >"$2/log.txt" 2>"$2/wine.txt" &
    scenario_pid=$!
    wait "$scenario_pid"
    scenario_pid=
    drop_prefix
}

# The driver's first line names the scenario: a log without it is a start
# that never reached the driver, so nothing of the scenario ran. Wine's
# start of explorer in a new prefix rarely fails ("ShellExecuteEx failed:
# Internal error", its new process ended before it had started): such a
# start is made once more in a fresh prefix.
reached_driver() { grep -q "^scenario $1 " "$2/log.txt"; }

# Runs scenario NAME and prints its line, with its failed checks, in one
# piece however many workers print at once.
run_scenario() {
    local name=$1 folder=$out/$1 started first_start seconds report
    started=$(date +%s.%N)
    run_in_fresh_prefix "$name" "$folder"
    if ! reached_driver "$name" "$folder"; then
        first_start=$(cat "$folder/log.txt" "$folder/wine.txt")
        run_in_fresh_prefix "$name" "$folder"
        { echo "e2e: the first start never reached the driver and was made again; Wine wrote:"
          echo "$first_start" | sed 's/^/    /'
          cat "$folder/log.txt"; } >"$folder/log.retried"
        mv "$folder/log.retried" "$folder/log.txt"
        report="note $name: the first start never reached the driver; started again (see its log)"$'\n'
    else
        report=
    fi
    seconds=$(echo "$started" | awk -v now="$(date +%s.%N)" '{ printf "%.1f", now - $1 }')
    if grep -q '^RESULT: PASS' "$folder/log.txt"; then
        report+="PASS $name (${seconds} s)"
    else
        report+="FAIL $name (${seconds} s), log: ${folder#"$root"/}/log.txt"
        report+=$'\n'$(grep -a -A2 '^  FAIL' "$folder/log.txt" | grep -a -v '^  ok\|^  note\|^  step\|^--$\|^RESULT' | sed 's/^/    /')
        grep -q '^RESULT' "$folder/log.txt" || report+=$'\n'"    the driver ended without a result"
    fi
    { flock 7; printf '%s\n' "$report" | grep -v '^$'; } 7>"$queue/print.lock"
}

# The next scenario of the queue, or nothing when it is empty.
take_scenario() {
    {
        flock 7
        local next
        next=$(head -n1 "$queue/names")
        sed -i 1d "$queue/names"
        printf '%s' "$next"
    } 7>"$queue/queue.lock"
}

# A worker takes scenarios from the queue until it is empty, all on the X
# server it was given. Told to stop, it ends its scenario and drops its prefix.
worker() {
    export DISPLAY=$1
    trap drop_prefix EXIT
    trap '[ -z "$scenario_pid" ] || kill -TERM "$scenario_pid" 2>/dev/null; exit 143' TERM
    local name
    while name=$(take_scenario) && [ -n "$name" ]; do
        run_scenario "$name"
    done
}

if [ -n "${E2E_DISPLAY:-}" ]; then
    read -r -a displays <<<"$E2E_DISPLAY"
else
    displays=()
    wanted_jobs=${E2E_JOBS:-3}
    [ "$wanted_jobs" -ge 1 ] 2>/dev/null || wanted_jobs=1
    [ "$wanted_jobs" -le ${#known[@]} ] || wanted_jobs=${#known[@]}
    while [ ${#displays[@]} -lt "$wanted_jobs" ]; do
        start_xvfb || { echo "e2e: Xvfb could not be started" >&2; exit 2; }
        xvfb_pids+=("$xvfb_pid")
        displays+=("$display")
    done
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

# The longest first, by their time limits, so that no long one starts last.
queue=$(mktemp -d)
for name in "${known[@]}"; do
    echo "${limits[$name]} $name"
done | sort -s -k1,1nr | cut -d' ' -f2 >"$queue/names"
for display in "${displays[@]}"; do
    [ -s "$queue/names" ] || break
    worker "$display" &
    workers+=("$!")
done
wait "${workers[@]}"
workers=()

passed=0
for name in "${known[@]}"; do
    if grep -q '^RESULT: PASS' "$out/$name/log.txt" 2>/dev/null; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
