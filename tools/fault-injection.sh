#!/bin/bash
# Allocation failures: builds the DLL once more with TESSALY_FAULT_INJECTION
# (build/windows-faults; an extra export makes its Nth allocation fail) and
# runs every entry point's scenario for every failure point under Wine,
# without a display, so the shell's own error boxes cannot appear; then the
# options sheet's scenarios (opened through "Options...") under a display of
# their own.
#
#   bash tools/fault-injection.sh [--quick]   (--quick: the menu and help texts only)
#
# Ends with "fault-injection: <points> failure points tried, <faults> faults
# found" over both runs; the exit status is 0 only when no fault was found.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TESSALY_JOBS:-2}
build=build/windows-faults

mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Debug \
    -DTESSALY_FAULT_INJECTION=ON >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$jobs" --target tessaly_fault_runner >"$build.build.log" 2>&1 ||
    { grep -E -A5 "error|Error" "$build.build.log" | head -n 60; exit 1; }

export TESSALY_WINE_TEMPLATE="$root/$build/wine-template"
runner=$build/tests/stress/tessaly_fault_runner.exe
points=0 faults=0
run_part() {  # command...: shows the runner's lines and adds up its closing line
    local log status summary
    log=$(mktemp)
    set +e
    "$@" 2>&1 | tr -d '\r' | tee "$log" | grep -v '^fault-injection: '
    status=${PIPESTATUS[0]}
    set -e
    summary=$(sed -n -E 's/^fault-injection: ([0-9]+) failure points tried, ([0-9]+) faults found$/\1 \2/p' "$log")
    rm -f "$log"
    if [ -z "$summary" ]; then
        echo "the runner ended without its summary (status $status)"
        faults=$((faults + 1))
        return
    fi
    points=$((points + ${summary% *}))
    faults=$((faults + ${summary#* }))
}
run_part env -u DISPLAY tools/wine-run.sh "$runner" "$@"
[ "${1:-}" = --quick ] || run_part bash tools/with-xvfb.sh bash tools/wine-run.sh "$runner" --sheet
echo "fault-injection: $points failure points tried, $faults faults found"
[ "$faults" -eq 0 ]
