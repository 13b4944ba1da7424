#!/bin/bash
# Builds the Windows 11 package, checked and (with a certificate) signed:
#   bash tools/package/build-package.sh TEMPLATE PICTURE VERSION CLASS DLL PROGRAM STAGE OUT
# TEMPLATE is the manifest template, PICTURE the product's picture source
# the logos are drawn from (resources/pictures/stopwatch.svg), VERSION the package's (four numbers), CLASS the Explorer command's
# class id, DLL the DLL the package names and PROGRAM the program its
# Application names (both as installed beside each other: stripped and
# signed); the package's architecture is the DLL's machine. STAGE receives the package's files (the manifest and Assets/),
# which the installer also installs beside the DLL. The Publisher is the
# subject of the certificate TESSALY_SIGN_PFX names, else an unsigned
# build's (which Windows 11 registers only when told to allow it).
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
template=$1 picture=$2 version=$3 class=$4 dll=$5 program=$6 stage=$7 out=$8
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

check=(python3 "$here/check-manifest.py" "$stage/AppxManifest.xml" --folder "$stage" --dll "$dll" --program "$program"
    --version "$version")
publisher=$(bash "$here/publisher.sh" "$work/certificate.pem")
[ -z "${TESSALY_SIGN_PFX:-}" ] || check+=(--certificate "$work/certificate.pem")

rm -rf "$stage"
mkdir -p "$stage/Assets"
python3 "$here/make-logos.py" "$picture" "$stage/Assets"
architecture=$(python3 "$here/machine.py" "$dll")
python3 - "$template" "$stage/AppxManifest.xml" "$publisher" "$version" "$class" "$(basename "$dll")" \
    "$(basename "$program")" "$architecture" <<'PY'
import sys
from xml.sax.saxutils import escape
template, out, publisher, version, clsid, dll, program, architecture = sys.argv[1:]
text = open(template, encoding='utf-8').read()
for name, value in (('PUBLISHER', publisher), ('VERSION', version), ('CLASS', clsid), ('DLL', dll),
                    ('PROGRAM', program), ('ARCHITECTURE', architecture)):
    text = text.replace('@%s@' % name, escape(value, {'"': '&quot;'}))
open(out, 'w', encoding='utf-8', newline='\n').write(text)
PY
"${check[@]}"
python3 "$here/pack-package.py" "$stage" "$out"
bash "$here/../release/sign.sh" "$out"
