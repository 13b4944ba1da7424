#!/bin/bash
# Fuzzes the registry script interpreter for a bounded time:
#   bash tools/fuzz-registrar.sh [SECONDS]   (default 60)
# Builds the libFuzzer target with clang, AddressSanitizer and UBSan in its own
# build folder (TESSALY_FUZZ_BUILD, default build/fuzz-registrar), then runs it
# from the committed seed corpus (server/fuzz/corpus) with the format's words
# as a dictionary. New inputs go to the build folder's corpus; a crash, leak,
# sanitizer report or hang (an input taking over 10 s) stops the run and
# leaves the input beside it as crash-*, leak-* or timeout-*. The target
# crashes on purpose when unregistering deletes anything the script does not
# name at that level, or changes or adds anything. One worker: the machine's
# cores are shared.
# Not part of the CI run.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSALY_FUZZ_BUILD:-$root/build/fuzz-registrar}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTESSALY_FUZZ=ON -DTESSALY_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target registrar_fuzz -j2

corpus="$build/registrar-corpus"
mkdir -p "$corpus"
exec "$build/server/fuzz/registrar_fuzz" "$corpus" "$root/server/fuzz/corpus" \
    -dict="$root/server/fuzz/registrar.dict" \
    -max_total_time="$seconds" -timeout=10 -max_len=8192 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1
