#!/bin/bash
# Allocation failures: builds the DLL once more with TESSALY_FAULT_INJECTION
# (build/windows-faults; an extra export makes its Nth allocation fail) and
# runs every entry point's scenario for every failure point under Wine,
# without a display, so the shell's own error boxes cannot appear.
#
#   bash tools/fault-injection.sh [--quick]
#
# Ends with "fault-injection: <points> failure points tried, <faults> faults
# found"; the exit status is 0 only when no fault was found.
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

env -u DISPLAY TESSALY_WINE_TEMPLATE="$root/$build/wine-template" \
    tools/wine-run.sh "$build/tests/stress/tessaly_fault_runner.exe" "$@"
