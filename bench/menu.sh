#!/bin/bash
# The menu benchmark: not a test, never run by CI or tools/test-all.sh.
#
#   bash bench/menu.sh [--sizes 100,1000,10000] [--reps 15]
#
# Builds the DLL and tessaly_bench_menu in Release (build-bench-windows) and
# runs it under Wine: QueryContextMenu with both lists on and 25 files each,
# on folders of each size, against the floor of two enumerations and two
# opens of every file measured in the same process; then the cold start
# (the DLL loaded and its first menu on 100 files). The line
# "wine-menu-vs-floor-1k: <ratio>" is the figure to watch (target <= 1.25);
# beside it, Windows 11's menu of the same folder (the Explorer command's
# subcommands) against the classic one, "wine-command-vs-menu-1k: <ratio>"
# (target <= 1.05).
. "$(dirname "$0")/../tools/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

sizes=100,1000,10000
reps=15
while [ $# -gt 0 ]; do
    case $1 in
        --sizes) sizes=$2; shift 2 ;;
        --reps) reps=$2; shift 2 ;;
        *) echo "usage: bash bench/menu.sh [--sizes N,N,...] [--reps N]" >&2; exit 2 ;;
    esac
done
jobs=${TESSALY_JOBS:-2}
build=build-bench-windows

echo "== building (Release)"
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_SANITIZE=OFF -DTESSALY_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "$jobs" --target tessaly_bench_menu >"$build/build.log" 2>&1 ||
    { tail -n 40 "$build/build.log"; exit 1; }

echo "== Wine"
TESSALY_WINE_TEMPLATE="$root/$build/wine-template" tools/wine-run.sh \
    "$build/bench/tessaly_bench_menu.exe" --sizes "$sizes" --reps "$reps"
