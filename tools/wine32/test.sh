#!/bin/sh
# The 32-bit test layer: the shipped build/win32/SetupMate.exe and the i686
# builds of the Windows tests and of the end-to-end driver, run under 32-bit
# Wine on the bench (tools/wine32/enter.sh), which is prepared first if need
# be. `make test-win32` runs it, and `make test` after the other layers.
# Builds nothing (make does that).
#
# Usage: tools/wine32/test.sh [--all]
#   --all  the whole list below, not only what `make test` runs
#
# Ends with "wine32: N passed, M failed" over the bench's own checks and both
# lists; the exit status is non-zero on any failure.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
. "$here/lib.sh"

# What runs 32-bit in `make test`: what the 32-bit build alone can get wrong,
# everything else being shown by the 64-bit layers. The Windows tests of the
# engine's native calls and held folders (calling conventions, structure
# layouts), the list of programs in the 32-bit registry view, the location
# page's find data and registry reads, the shortcuts' COM calls and the
# wizard's window procedures; the scenarios that walk every page of the
# shipped program and install (tour), remove it with the shipped uninstaller,
# read the registry's odd values, and fill the fixed-size buffers to their
# limits, whose stack neighbours differ between the builds; and the other
# required sessions of the shipped program, which are short: welcome cancel,
# a location refusal and an uncreatable destination (uninstall_after_install
# reinstalls as well).
WINDOWS_TESTS="install_files_test registration_test location_page_test shortcuts_test wizard_test"
SCENARIOS="tour uninstall_after_install location_registry_oddities limits_longest_install welcome_cancel
  location_refusals install_destination_fails"
# The rest of the 32-bit list, run with --all (`make test-win32 ALL=1`) before
# a release: the other page tests, the reinstall of its own, and every path
# that writes files, links or registry values and the owner-drawn lists. backdrop_steps is left out: it must capture the
# backdrop within 250 ms of its creation, and under emulation on a loaded
# machine the capture takes about 300.
MORE_WINDOWS_TESTS="installing_page_test group_page_test backdrop_test"
MORE_SCENARIOS="install_reinstall
  install_happy_path install_read_only install_disk_full install_file_held_open
  location_browsing location_previous_installation group_names limits_subfolder_rows
  limits_typed_location"
if [ "${1:-}" = --all ]; then
    WINDOWS_TESTS="$WINDOWS_TESTS $MORE_WINDOWS_TESTS"
    SCENARIOS="$SCENARIOS $MORE_SCENARIOS"
fi

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
