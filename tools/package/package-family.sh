#!/bin/bash
# Writes the header that tells the DLL its Windows 11 package's family name
# (shellext/PackagedCommand.h), which follows from the package's Publisher
# (the signing certificate's subject, tools/package/publisher.sh); rewritten
# only when it changes:
#   bash tools/package/package-family.sh OUT.h
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
family=$(python3 "$here/publisher.py" --family "$(bash "$here/publisher.sh")")
text="// Written by tools/package/package-family.sh from the signing certificate.
#define TESSALY_PACKAGE_FAMILY_NAME L\"$family\""
mkdir -p "$(dirname "$out")"
[ "$(cat "$out" 2>/dev/null)" = "$text" ] || echo "$text" >"$out"
