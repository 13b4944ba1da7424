#!/bin/bash
# Writes which certificate signs this build's files, and when (the sources'
# time), into the file the signing steps depend on, but only when that
# changes, so that naming another certificate (or none) signs again:
#   bash tools/release/signing-identity.sh OUT
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
identity=unsigned
if [ -n "${TESSALY_SIGN_PFX:-}" ]; then
    epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
    identity="certificate $(sha256sum <"$TESSALY_SIGN_PFX" | cut -c1-64) at $epoch"
fi
[ "$(cat "$out" 2>/dev/null)" = "$identity" ] || echo "$identity" >"$out"
