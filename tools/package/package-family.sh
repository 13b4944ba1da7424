#!/bin/bash
# Prints the family name the Windows 11 package will have: its name and the
# publisher id its Publisher gives (the subject of the certificate
# TESSALY_SIGN_PFX names, or an unsigned build's; tools/package/publisher.sh),
# for a tester to compare with what Windows reports
# (Get-AppxPackage Quenbridge.Tessaly | Select-Object PackageFamilyName):
#   bash tools/package/package-family.sh
# Fails, with publisher.sh's line, when the certificate cannot be read.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/publisher.sh" --family
