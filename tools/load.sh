#!/bin/bash
# The load run: 10,000 menus of the real DLL (Initialize, QueryContextMenu,
# Release) on one thread, then spread over eight threads with an apartment
# each, printing handle counts, handle-table slots, heap and private bytes
# before and after (the test run does the same with 500).
#
#   bash tools/load.sh [menus]
. "$(dirname "$0")/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TESSALY_JOBS:-2}
build=build/windows

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Debug \
    >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$jobs" --target test_stress >"$build.build.log" 2>&1 ||
    { grep -E -A5 "error|Error" "$build.build.log" | head -n 60; exit 1; }

env -u DISPLAY TESSALY_LOAD_BUILDS="${1:-10000}" TESSALY_WINE_TEMPLATE="$root/$build/wine-template" \
    tools/wine-run.sh "$build/tests/stress/test_stress.exe" --gtest_filter='LoadTest.*'
