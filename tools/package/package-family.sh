#!/bin/bash
# Prints the family name the Windows 11 package will have: its name and the
# publisher id its Publisher gives (the subject of the certificate
# TESSALY_SIGN_PFX names, or an unsigned build's; tools/package/publisher.sh),
# for a tester to compare with what Windows reports
# (Get-AppxPackage Quenbridge.Tessaly | Select-Object PackageFamilyName):
#   bash tools/package/package-family.sh [OUT.h]
# With OUT.h it writes the name as a C header instead, for a DLL build that
# compiles it in, rewritten only when it changes. Fails, with publisher.sh's
# line, when the certificate cannot be read.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
family=$(bash "$here/publisher.sh" --family)
if [ $# -eq 0 ]; then
    echo "$family"
    exit 0
fi
out=$1
text="// Written by tools/package/package-family.sh from the signing certificate.
#define TESSALY_PACKAGE_FAMILY_NAME L\"$family\""
mkdir -p "$(dirname "$out")"
[ "$(cat "$out" 2>/dev/null)" = "$text" ] || echo "$text" >"$out"
