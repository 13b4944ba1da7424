#!/bin/bash
# The menu benchmark: not a test, never run by CI or tools/test-all.sh.
#
#   bash bench/menu.sh [--sizes 100,1000,10000] [--reps 15] [--no-slow-share]
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
#
# Then the same menu on the slow share (bench/slowshare/; skipped, saying
# why, where FUSE cannot run) at 0 ms per request with 1,000 files and at
# 0.5 and 5 ms with 100, against the same floor there, where the floor opens
# every file twice one after another and the menu each once, several at a
# time: "wine-slow-share-<delay>-menu-vs-floor-<size>: <ratio>".
. "$(dirname "$0")/../tools/usage.sh"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

sizes=100,1000,10000
reps=15
slow=1
while [ $# -gt 0 ]; do
    case $1 in
        --sizes) sizes=$2; shift 2 ;;
        --reps) reps=$2; shift 2 ;;
        --no-slow-share) slow=0; shift ;;
        *) echo "usage: bash bench/menu.sh [--sizes N,N,...] [--reps N] [--no-slow-share]" >&2; exit 2 ;;
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

[ $slow -eq 1 ] || exit 0
echo
echo "== slow share"
if ! reason=$(bash bench/slowshare/slowshare.sh check); then
    echo "slow share: skipped ($reason)"
    exit 0
fi
place=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-menu-share.XXXXXX")
trap 'bash bench/slowshare/slowshare.sh unmount "$place/share"; rm -rf "$place"' EXIT
# Files with write and access times spread over a year.
python3 - "$place/source" <<'MAKE'
import os, sys, time
for size in (100, 1000):
    folder = os.path.join(sys.argv[1], str(size))
    os.makedirs(folder)
    for i in range(size):
        path = os.path.join(folder, "f%05d.txt" % i)
        open(path, "w").close()
        now = time.time()
        os.utime(path, (now - (i * 7919 % size) * 3600, now - (i * 104729 % size) * 5400))
MAKE
for case in 0:1000 0.5:100 5:100; do
    delay=${case%:*} size=${case#*:}
    bash bench/slowshare/slowshare.sh mount "$place/source" "$place/share" "$delay"
    TESSALY_WINE_TEMPLATE="$root/$build/wine-template" tools/wine-run.sh "$build/bench/tessaly_bench_menu.exe" \
        --existing "Z:${place//\//\\}\\share" --label "${delay}ms" --sizes "$size" --reps 3
    bash bench/slowshare/slowshare.sh unmount "$place/share"
done
