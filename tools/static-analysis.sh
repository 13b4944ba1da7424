#!/bin/bash
# Static analysis, not part of the test run:
#  1. clang-tidy (.clang-tidy: the bugprone, cert and performance families)
#     over every source of the product that the host build compiles
#     (build/tidy, compiled with clang, compile commands exported);
#  2. the Windows build once more with clang as a second compiler
#     (build/windows-clang, cmake/clang-mingw-w64-x86_64.cmake), with the
#     project's warnings as errors; its DLL passes the same check after
#     linking as the product (imports and the five exports).
#  3. clang-tidy once more over the Windows-only sources (the handler, the
#     server, the frameworks, the options sheet), from that clang build's
#     compile commands.
# Prints the findings and "static-analysis: <n> clang-tidy findings, clang
# Windows build <ok|failed>"; exits 0 only when both are clean.
#
#   bash tools/static-analysis.sh [--with-tests]   (also the test programs)
. "$(dirname "$0")/usage.sh"
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TESSALY_JOBS:-2}
with_tests=0
[ "${1:-}" = --with-tests ] && with_tests=1

# Findings in our own files (a system header's macro may report one without
# a place; it is not ours to fix).
count_findings() { grep -c -E "^$root/.*(warning|error):" "$1"; }

echo "== clang-tidy (host build)"
cmake -S . -B build/tidy -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >build/tidy.configure.log 2>&1 ||
    { cat build/tidy.configure.log; exit 2; }
# Our sources only: not GoogleTest, not the benchmarks (argument parsing and
# printing, no product path), the tests only when asked.
files=$(python3 - "$with_tests" <<'PY'
import json, sys
root = __import__("os").getcwd() + "/"
with_tests = sys.argv[1] == "1"
for entry in json.load(open("build/tidy/compile_commands.json")):
    path = entry["file"]
    if not path.startswith(root) or path.startswith(root + "build/") or path.startswith(root + "bench/"):
        continue
    if path.startswith(root + "tests/") and not with_tests:
        continue
    print(path)
PY
)
log=build/tidy.log
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$jobs" -n 4 clang-tidy -p build/tidy --quiet >"$log" 2>/dev/null
grep -A3 -E "^$root/.*(warning|error):" "$log" | sed "s|$root/||"
findings=$(count_findings "$log")

echo "== Windows build with clang"
clang_status=ok
cmake -S . -B build/windows-clang -DCMAKE_TOOLCHAIN_FILE=cmake/clang-mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DTESSALY_BUILD_TESTS=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    >build/windows-clang.configure.log 2>&1 ||
    { cat build/windows-clang.configure.log; clang_status=failed; }
if [ $clang_status = ok ] && ! cmake --build build/windows-clang -j "$jobs" >build/windows-clang.build.log 2>&1; then
    grep -E -A5 "error|Error" build/windows-clang.build.log | grep -v "duplicate section" | head -n 60
    clang_status=failed
fi

if [ $clang_status = ok ]; then
    echo "== clang-tidy (Windows-only sources)"
    windows_files=$(python3 - <<'PY'
import json, os
root = os.getcwd() + "/"
host = {entry["file"] for entry in json.load(open("build/tidy/compile_commands.json"))}
for entry in json.load(open("build/windows-clang/compile_commands.json")):
    path = entry["file"]
    if path.startswith(root) and path.endswith(".cpp") and path not in host and \
            not any(path.startswith(root + folder) for folder in ("build/", "bench/", "tests/")):
        print(path)
PY
)
    windows_log=build/tidy-windows.log
    # shellcheck disable=SC2086
    printf '%s\n' $windows_files | xargs -P "$jobs" -n 4 clang-tidy -p build/windows-clang --quiet \
        >"$windows_log" 2>/dev/null
    grep -A3 -E "^$root/.*(warning|error):" "$windows_log" | sed "s|$root/||"
    findings=$((findings + $(count_findings "$windows_log")))
fi

echo "static-analysis: $findings clang-tidy findings, clang Windows build $clang_status"
[ "$findings" -eq 0 ] && [ $clang_status = ok ]
