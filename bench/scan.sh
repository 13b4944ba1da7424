#!/bin/bash
# The scan benchmark: not a test, never run by CI or tools/test-all.sh.
#
#   bash bench/scan.sh [--sizes 1000,10000,100000] [--reps 5] [--host-only]
#                      [--baseline REV | --no-baseline] [--no-slow-share] [--slow-reps 3]
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
#
# Then, on the folders of 10,000 and 100,000 files, one scan in a fresh
# process against the same of the scan as it was before its opens could run
# in parallel (the baseline: the commit before listing/ParallelOpens.cpp came,
# or REV; built from git in build-bench-baseline), in turn:
# "<side>-local-vs-today-<size>: <ratio>" (target at most 1.05).
#
# Last, the slow share (bench/slowshare/: a FUSE view of the folders that
# waits on every open and attribute read, as a network share does; skipped,
# saying why, where FUSE cannot run): at 0 and 0.5 ms per operation with
# 10,000 files and at 5 ms with 1,000, the scan as the product runs it
# against the serial scan of the same folder, in turn (--slow-reps times on
# the host, once under Wine, whose serial scans there take minutes):
# "<side>-slow-share-<delay>-vs-serial-<size>: <ratio>" (target for the host
# at 0.5 ms and 10,000 files: at least 8).
#
# The figure lines come last, among them "host-scan-vs-ls-100k: <ratio>" (one
# Scan process to one ls process; the target is at most 1.0, with peak memory
# at most 1.5 times ls) and "wine-scan-vs-open-floor-10k: <ratio>" (target at
# most 1.15).
. "$(dirname "$0")/../tools/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

sizes=1000,10000,100000
reps=5
slow_reps=3
wine=1
slow=1
baseline=auto
while [ $# -gt 0 ]; do
    case $1 in
        --sizes) sizes=$2; shift 2 ;;
        --reps) reps=$2; shift 2 ;;
        --slow-reps) slow_reps=$2; shift 2 ;;
        --host-only) wine=0; shift ;;
        --baseline) baseline=$2; shift 2 ;;
        --no-baseline) baseline=none; shift ;;
        --no-slow-share) slow=0; shift ;;
        *) echo "usage: bash bench/scan.sh [--sizes N,N,...] [--reps N] [--host-only] [--baseline REV | --no-baseline] [--no-slow-share] [--slow-reps N]" >&2; exit 2 ;;
    esac
done
jobs=${TESSALY_JOBS:-2}
has_size() { [[ ",$sizes," == *",$1,"* ]]; }

build() {  # source folder, build folder, extra cmake arguments...
    local source=$1 build=$2
    shift 2
    mkdir -p "$build"
    cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_SANITIZE=OFF -DTESSALY_BUILD_TESTS=OFF "$@" \
        >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
    cmake --build "$build" -j "$jobs" --target tessaly_bench_scan >"$build/build.log" 2>&1 ||
        { tail -n 40 "$build/build.log"; exit 1; }
}
toolchain() { echo "-DCMAKE_TOOLCHAIN_FILE=$(cd "$1" && pwd)/cmake/mingw-w64-x86_64.cmake"; }
wine_run() { TESSALY_WINE_TEMPLATE="$root/build-bench-windows/wine-template" tools/wine-run.sh "$@" | tr -d '\r'; }
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }

echo "== building (Release, no sanitizers)"
build . build-bench-host
[ $wine -eq 1 ] && build . build-bench-windows "$(toolchain .)"
if [ "$baseline" = auto ]; then
    added=$(git log --diff-filter=A --format=%H -- listing/ParallelOpens.cpp 2>/dev/null | tail -n 1)
    baseline=none
    [ -n "$added" ] && git rev-parse -q --verify "$added^" >/dev/null && baseline=$added^
fi
if [ "$baseline" != none ]; then
    echo "== building the baseline ($(git log -1 --format='%h %s' "$baseline" | cut -c1-72))"
    rm -rf build-bench-baseline/src
    mkdir -p build-bench-baseline/src
    git archive "$baseline" | tar -x -C build-bench-baseline/src
    build build-bench-baseline/src build-bench-baseline/host
    [ $wine -eq 1 ] && build build-bench-baseline/src build-bench-baseline/windows "$(toolchain build-bench-baseline/src)"
fi

# The folders go where the benchmark puts them by default (a short path in
# the temporary folder: on the host every entry keeps its whole path in
# four-byte characters, so the path's length shows in the memory figures).
log=$(mktemp "${TMPDIR:-/tmp}/tessaly-scan-bench.XXXXXX.log")
folders=
share=
cleanup() {
    [ -n "$share" ] && bash bench/slowshare/slowshare.sh unmount "$share"
    [ -n "$share" ] && rmdir "$share" "$(dirname "$share")" 2>/dev/null
    [ -n "$folders" ] && rm -rf "$folders"
    rm -f "$log"
}
trap cleanup EXIT

echo "== host"
build-bench-host/bench/tessaly_bench_scan --sizes "$sizes" --reps "$reps" --keep | tee -a "$log"
folders=$(sed -n 's/^folders: //p' "$log")

if [ $wine -eq 1 ]; then
    echo
    echo "== Wine"
    wine_run build-bench-windows/bench/tessaly_bench_scan.exe --sizes "$sizes" --reps "$reps" \
        --existing "$(windows_path "$folders")" | tee -a "$log"
fi

local_sizes=
for size in 10000 100000; do has_size $size && local_sizes=${local_sizes:+$local_sizes,}$size; done
if [ "$baseline" != none ] && [ -n "$local_sizes" ]; then
    echo
    echo "== local folders against the scan before its opens could run in parallel"
    build-bench-host/bench/tessaly_bench_scan --sizes "$local_sizes" --reps 9 --existing "$folders" \
        --baseline "$root/build-bench-baseline/host/bench/tessaly_bench_scan" | tee -a "$log"
    [ $wine -eq 1 ] && wine_run build-bench-windows/bench/tessaly_bench_scan.exe --sizes "$local_sizes" --reps 9 \
        --existing "$(windows_path "$folders")" \
        --baseline "$(windows_path "$root/build-bench-baseline/windows/bench/tessaly_bench_scan.exe")" | tee -a "$log"
fi

if [ $slow -eq 1 ]; then
    echo
    echo "== slow share"
    if ! reason=$(bash bench/slowshare/slowshare.sh check); then
        echo "slow share: skipped ($reason)" | tee -a "$log"
    else
        share=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-slowshare.XXXXXX")/share
        # delay in ms : files on the host : files under Wine, whose serial
        # scan asks the share about 13 times per file
        for case in 0:10000:10000 0.5:10000:10000 5:1000:1000; do
            IFS=: read -r delay size wine_size <<<"$case"
            has_size "$size" || { echo "slow share ${delay}ms: $size not among the sizes" | tee -a "$log"; continue; }
            bash bench/slowshare/slowshare.sh mount "$folders" "$share" "$delay"
            build-bench-host/bench/tessaly_bench_scan --sizes "$size" --reps "$slow_reps" --existing "$share" \
                --slow-share "${delay}ms" | tee -a "$log"
            [ $wine -eq 1 ] && wine_run build-bench-windows/bench/tessaly_bench_scan.exe --sizes "$wine_size" \
                --reps 1 --existing "$(windows_path "$share")" --slow-share "${delay}ms" | tee -a "$log"
            bash bench/slowshare/slowshare.sh unmount "$share"
        done
    fi
fi

echo
grep '^host-scan-vs-ls-100k: ' "$log" || echo "host-scan-vs-ls-100k: n/a (100000 not among the sizes)"
[ $wine -eq 1 ] && { grep '^wine-scan-vs-open-floor-10k: ' "$log" ||
    echo "wine-scan-vs-open-floor-10k: n/a (10000 not among the sizes)"; }
[ "$baseline" = none ] && echo "local-vs-today: n/a (no baseline in this clone's history)"
grep -E '^(host|wine)-(local-vs-today|slow-share)-|^wine-slow-share-limit|^slow share: skipped' "$log" || true
