#!/bin/bash
# Builds both sides and runs every test: the host build (portable core under
# AddressSanitizer and UBSan) and the Windows build (cross-built, run under
# Wine). Ends with one summary line over both suites.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TESSALY_JOBS:-2}

bash tools/setup.sh || exit 1

run_side() {  # name, build folder, extra cmake arguments...
    local name=$1 build=$2
    shift 2
    echo "== $name: configure and build"
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug "$@" >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log"; return 2; }
    if ! cmake --build "$build" -j "$jobs" >"$build.build.log" 2>&1; then
        grep -E -A5 "error|Error" "$build.build.log" | head -n 80
        return 2
    fi
    echo "== $name: tests"
    (cd "$build" && ctest -j "$jobs" --output-on-failure --timeout 600) | tee "$build.ctest.log"
}

mkdir -p build
run_side host build/host
host_status=$?
run_side windows build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
windows_status=$?

count() {  # the passed and failed counts from a ctest summary
    local log=$1
    [ -f "$log" ] || { echo "0 0"; return; }
    local line
    line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
    [ -n "$line" ] || { echo "0 1"; return; }
    local failed total
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    echo "$((total - failed)) $failed"
}
read -r host_passed host_failed < <(count build/host.ctest.log)
read -r win_passed win_failed < <(count build/windows.ctest.log)
[ $host_status -eq 0 ] || [ "$host_failed" -gt 0 ] || host_failed=1
[ $windows_status -eq 0 ] || [ "$win_failed" -gt 0 ] || win_failed=1

echo "host: $host_passed passed, $host_failed failed"
echo "windows (Wine): $win_passed passed, $win_failed failed"
echo "$((host_passed + win_passed)) passed, $((host_failed + win_failed)) failed"
[ $((host_failed + win_failed)) -eq 0 ]
