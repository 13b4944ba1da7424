#!/bin/bash
# Runs one 64-bit ARM Windows program under Debian's arm64 Wine, emulated by
# qemu, as tools/wine-run.sh runs the x86-64 ones (a throwaway prefix per
# run, copied from a template; Wine's noise filtered):
#   bash tools/arm64-wine.sh PROGRAM [ARGUMENTS...]
# The Wine root comes from tools/setup-arm64.sh. Wine's start-up notes
# about the missing 32-bit side and display do not concern the DLL-level
# programs run here.
. "$(dirname "$0")/usage.sh"
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || { echo "arm64-wine: which program? (see --help)" >&2; exit 2; }
. "$here/arm64-wine-env.sh" || exit 2
export TESSALY_WINE_TEMPLATE=${TESSALY_WINE_TEMPLATE:-$TESSALY_ARM64_CACHE/wine-template}
exec bash "$here/wine-run.sh" "$@"
