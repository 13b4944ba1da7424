#!/bin/bash
# The PE checksum of each built binary, as both kinds of reader see it:
# Windows' own MapFileAndCheckSumW (under Wine) and osslsigncode, which
# leaves out an odd last byte and warned about the stripped binaries before
# their checksum was set on an even length:
#   bash tests/release/checksum-test.sh CHECKSUM_TOOL FILE...
. "$(dirname "$0")/../../tools/usage.sh"
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
checksum_tool=$1
shift
failures=0
bash "$root/tools/wine-run.sh" "$checksum_tool" "$@" || failures=$((failures + 1))
for file in "$@"; do
    # Unsigned, so verify itself fails: only its checksum lines count.
    if grep -qi "invalid PE checksum" <<<"$(osslsigncode verify -in "$file" 2>&1)"; then
        echo "FAIL $file: osslsigncode finds the PE checksum invalid"
        failures=$((failures + 1))
    fi
done
echo "PE checksum: $# files, $failures failed"
[ $failures -eq 0 ]
