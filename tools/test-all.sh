#!/bin/bash
# Builds every side and runs every test: the host build (portable core under
# AddressSanitizer and UBSan), the 32-bit Windows build (the companion DLL
# for 32-bit programs) and the 64-bit Windows build, both cross-built and
# run under Wine, and the 64-bit DLL built for Windows on ARM, whose
# DLL-level tests run under Debian's arm64 Wine emulated by qemu. The 64-bit
# build takes its companion from the 32-bit build folder and builds the
# ARM64 DLL in the ARM64 build folder, whose tests then run. Ends with one
# summary line over all suites.
. "$(dirname "$0")/usage.sh"
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
started=$SECONDS
run_side host build/host
host_status=$?
run_side windows32 build/windows32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
windows32_status=$?
run_side windows build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DTESSALY_COMPANION_DIR="$root/build/windows32" -DTESSALY_ARM64_DIR="$root/build/windows-arm64"
windows_status=$?
# As the 64-bit build configured it: always optimised (cmake/Arm64Build.cmake).
run_side windows-arm64 build/windows-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/zig-aarch64-windows.cmake \
    -DCMAKE_BUILD_TYPE=Release
arm64_status=$?

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
read -r win32_passed win32_failed < <(count build/windows32.ctest.log)
read -r win_passed win_failed < <(count build/windows.ctest.log)
read -r arm64_passed arm64_failed < <(count build/windows-arm64.ctest.log)
[ $host_status -eq 0 ] || [ "$host_failed" -gt 0 ] || host_failed=1
[ $windows32_status -eq 0 ] || [ "$win32_failed" -gt 0 ] || win32_failed=1
[ $windows_status -eq 0 ] || [ "$win_failed" -gt 0 ] || win_failed=1
[ $arm64_status -eq 0 ] || [ "$arm64_failed" -gt 0 ] || arm64_failed=1

passed=$((host_passed + win32_passed + win_passed + arm64_passed))
failed=$((host_failed + win32_failed + win_failed + arm64_failed))
echo "host: $host_passed passed, $host_failed failed"
echo "windows 32-bit (Wine): $win32_passed passed, $win32_failed failed"
echo "windows 64-bit (Wine): $win_passed passed, $win_failed failed"
echo "windows ARM64 (arm64 Wine under qemu): $arm64_passed passed, $arm64_failed failed"
echo "$passed passed, $failed failed in $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
[ $failed -eq 0 ]
