#!/bin/bash
# The soak: from a seed, random but legal sequences of calls into the built
# DLL under Wine, without a display, every result checked; a fault is
# shortened to the fewest calls that still fail and printed call by call.
#
#   bash tools/soak.sh [--seconds N] [--seed S]          (10 minutes unless told)
#   bash tools/soak.sh --seed S --sequence K [--calls I,J,...]   (replays one)
#
# Ends with "soak: <calls> calls, <sequences> sequences, <faults> faults"; the
# exit status is 0 only when no fault was found.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TESSALY_JOBS:-2}
build=build/windows

mkdir -p build
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Debug \
    >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$jobs" --target tessaly_soak >"$build.build.log" 2>&1 ||
    { grep -E -A5 "error|Error" "$build.build.log" | head -n 60; exit 1; }

env -u DISPLAY TESSALY_WINE_TEMPLATE="$root/$build/wine-template" \
    tools/wine-run.sh "$build/tools/soak/tessaly_soak.exe" "$@"
