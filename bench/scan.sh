#!/bin/bash
# The scan benchmark: not a test, never run by CI or tools/test-all.sh.
#
#   bash bench/scan.sh [--sizes 1000,10000,100000] [--reps 5] [--host-only]
#
# Builds tessaly_bench_scan on both sides in Release without sanitizers
# (build-bench-host, build-bench-windows), makes folders of each size with
# spread access and write times, and prints per size the time of one Scan per
# time kind, the cost per file and the peak memory per entry, against GNU
# "ls -t -u" of the same folder on the host and a bare FindFirstFileW /
# FindNextFileW enumeration under Wine. The Wine side scans the folders that
# the host side made (making 100,000 files under Wine takes very long). The
# Wine side also compares one Scan with the floor every scan has: the
# enumeration plus an attribute-only open, GetFileTime and CloseHandle per
# file, the two taken in turn as bench/menu.sh takes a menu and its floor.
# The last lines read "host-scan-vs-ls-100k: <ratio>" (one Scan process to
# one ls process; the target is at most 1.0, with peak memory at most 1.5
# times ls) and "wine-scan-vs-open-floor-10k: <ratio>" (target at most 1.15).
. "$(dirname "$0")/../tools/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

sizes=1000,10000,100000
reps=5
wine=1
while [ $# -gt 0 ]; do
    case $1 in
        --sizes) sizes=$2; shift 2 ;;
        --reps) reps=$2; shift 2 ;;
        --host-only) wine=0; shift ;;
        *) echo "usage: bash bench/scan.sh [--sizes N,N,...] [--reps N] [--host-only]" >&2; exit 2 ;;
    esac
done
jobs=${TESSALY_JOBS:-2}

build() {  # build folder, extra cmake arguments...
    local build=$1
    shift
    mkdir -p "$build"
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_SANITIZE=OFF -DTESSALY_BUILD_TESTS=OFF "$@" \
        >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
    cmake --build "$build" -j "$jobs" --target tessaly_bench_scan >"$build/build.log" 2>&1 ||
        { tail -n 40 "$build/build.log"; exit 1; }
}

echo "== building (Release, no sanitizers)"
build build-bench-host
[ $wine -eq 1 ] && build build-bench-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

# The folders go where the benchmark puts them by default (a short path in
# the temporary folder: on the host every entry keeps its whole path in
# four-byte characters, so the path's length shows in the memory figures).
log=$(mktemp "${TMPDIR:-/tmp}/tessaly-scan-bench.XXXXXX.log")
wine_log=$(mktemp "${TMPDIR:-/tmp}/tessaly-scan-bench-wine.XXXXXX.log")
folders=
cleanup() {
    [ -n "$folders" ] && rm -rf "$folders"
    rm -f "$log" "$wine_log"
}
trap cleanup EXIT

echo "== host"
build-bench-host/bench/tessaly_bench_scan --sizes "$sizes" --reps "$reps" --keep | tee "$log"
folders=$(sed -n 's/^folders: //p' "$log")

if [ $wine -eq 1 ]; then
    echo
    echo "== Wine"
    TESSALY_WINE_TEMPLATE="$root/build-bench-windows/wine-template" tools/wine-run.sh \
        build-bench-windows/bench/tessaly_bench_scan.exe --sizes "$sizes" --reps "$reps" \
        --existing "Z:${folders//\//\\}" | tee "$wine_log"
fi

echo
grep '^host-scan-vs-ls-100k: ' "$log" || echo "host-scan-vs-ls-100k: n/a (100000 not among the sizes)"
if [ $wine -eq 1 ]; then
    tr -d '\r' <"$wine_log" | grep '^wine-scan-vs-open-floor-10k: ' ||
        echo "wine-scan-vs-open-floor-10k: n/a (10000 not among the sizes)"
fi
