#!/bin/sh
# The 32-bit test layer: the shipped build/win32/SetupMate.exe and the i686
# builds of the Windows tests and of the end-to-end driver, run under 32-bit
# Wine on the bench (tools/wine32/enter.sh), which is prepared first if need
# be. `make test-win32` runs it, and `make test` after the other layers.
# Builds nothing (make does that).
#
# Ends with "wine32: N passed, M failed" over the bench's own checks and both
# lists; the exit status is non-zero on any failure.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
. "$here/lib.sh"

# What runs 32-bit, chosen by what differs between the builds: every Windows
# test program (callbacks, structure layouts, pointer-sized casts, resources
# of the pages and the engine), then whole sessions of the shipped program:
# the required five (the tour, the reinstall, welcome cancel, a location
# refusal, an uncreatable destination), every path that writes files, links
# or registry values, the owner-drawn lists, and the fixed-size buffers at
# their limits, whose stack neighbours differ between the builds, and the
# shipped uninstaller after a default installation. About 12
# minutes in all. backdrop_steps is left out: it must capture the backdrop
# within 250 ms of its creation, and under emulation on a loaded machine the
# capture takes about 300.
WINDOWS_TESTS="location_page_test installing_page_test group_page_test shortcuts_test
  install_files_test registration_test backdrop_test wizard_test"
SCENARIOS="tour install_reinstall welcome_cancel location_refusals install_destination_fails
  install_happy_path install_read_only install_disk_full install_file_held_open
  location_browsing location_previous_installation location_registry_oddities
  group_names limits_subfolder_rows limits_typed_location limits_longest_install
  uninstall_after_install"

build=$project/build/win32
out=$project/build/e2e-win32

elapsed() { echo $(($(date +%s) - $1)); }

# ctest's regular expression for exactly these test names.
test_pattern() { echo "^($(echo $WINDOWS_TESTS | tr ' ' '|'))\$"; }

check_build() {
    for file in "$build/SetupMate.exe" "$build/bin/e2e_driver.exe"; do
        [ -f "$file" ] || die "$file is missing; run make build first"
    done
}

# The bench's own safety checks.
run_bench_checks() {
    timeout -k 10 600 "$here/bench_test.sh" 2>&1 | tee "$out/bench-checks.txt" | sed 's/^/  /'
    bench_passed=$(sed -n 's/^bench: \([0-9]*\) passed, \([0-9]*\) failed$/\1/p' "$out/bench-checks.txt")
    bench_failed=$(sed -n 's/^bench: \([0-9]*\) passed, \([0-9]*\) failed$/\2/p' "$out/bench-checks.txt")
    [ -n "$bench_passed" ] || { bench_passed=0; bench_failed=1; }
}

# The Windows tests through ctest, whose emulator runs each on the bench.
run_windows_tests() {
    ctest --preset win32 -R "$(test_pattern)" 2>&1 | tee "$out/windows-tests.txt" | sed 's/^/  /'
    windows_failed=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of .*/\1/p' "$out/windows-tests.txt")
    windows_total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$out/windows-tests.txt")
    [ -n "$windows_total" ] || { windows_total=$(echo $WINDOWS_TESTS | wc -w); windows_failed=$windows_total; }
}

# The scenarios through the 64-bit layer's own runner, inside the bench.
run_scenarios() {
    # shellcheck disable=SC2086
    "$here/e2e.sh" --out "$out" $SCENARIOS | tee "$out/scenarios.txt" | sed 's/^/  /'
    scenarios_passed=$(sed -n 's/^\([0-9]*\) passed, [0-9]* failed$/\1/p' "$out/scenarios.txt")
    scenarios_passed=${scenarios_passed:-0}
    scenarios_failed=$(($(echo $SCENARIOS | wc -w) - scenarios_passed))
}

main() {
    need_root "$@"
    check_build
    mkdir -p "$out"
    started=$(date +%s)
    say "preparing the 32-bit bench (cache $cache)"
    "$here/enter.sh"
    say "bench ready after $(elapsed "$started") s; checking that it keeps the machine safe"
    run_bench_checks
    say "Windows tests, i686 build: $(echo $WINDOWS_TESTS)"
    run_windows_tests
    say "end-to-end scenarios of build/win32/SetupMate.exe: $(echo $SCENARIOS)"
    run_scenarios
    say "the 32-bit layer took $(elapsed "$started") s; logs and screenshots in ${out#"$project"/}"
    passed=$((bench_passed + windows_total - windows_failed + scenarios_passed))
    failed=$((bench_failed + windows_failed + scenarios_failed))
    echo "wine32: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

main "$@"
