#!/bin/bash
# The Windows 11 package as readers we did not write see it, unsigned and
# signed the release step's way (tools/release/sign.sh, a throwaway
# certificate):
#   bash tests/package/reader-test.sh PACKAGE [ARM64_PACKAGE]
# PACKAGE is the built (unsigned) package, ARM64_PACKAGE the one of the
# Windows on ARM installer, whose architecture the reader must read as
# arm64. Checked: those packages; a copy of
# it signed; and the package built as a signed release builds it, whose
# Publisher is the certificate's subject. Each must unpack with Microsoft's
# MSIX SDK reader (../shared/tools/msix/makemsix beside the source tree:
# the zip, the parts, the block map's hashes, the manifest's schema; -ss
# skips the signature, whose chain it trusts only to Microsoft's roots) and
# every zip entry must read back with Python's zipfile (CRC and sizes) and
# with unzip -t where that is installed. The signed build's Publisher must
# be the certificate's subject as Windows spells it, written out here. A
# build signed with a plain subject's certificate has its signature checked
# too (-ac: any certificate). Without the reader it reports a skip (77).
. "$(dirname "$0")/../../tools/usage.sh"
set -uo pipefail
package=$1 arm64_package=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
reader=$root/../shared/tools/msix
if [ ! -x "$reader/makemsix" ]; then
    echo "SKIP the MSIX SDK reader is not at $reader (it is not part of a clone)"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-reader.XXXXXX")
trap 'rm -rf "$work"' EXIT
subject='/C=GB/ST=Kent/O=Quenbridge, Ltd/CN=Quenbridge Test Signing'
windows_subject='CN=Quenbridge Test Signing, O="Quenbridge, Ltd", S=Kent, C=GB'
bash "$root/tools/release/make-test-certificate.sh" "$work/certificate" "$subject" || exit 2
bash "$root/tools/release/make-test-certificate.sh" "$work/plain" "/CN=Quenbridge Test Signing" || exit 2
use_certificate() {  # folder
    export TESSALY_SIGN_PFX=$1/certificate.pfx TESSALY_SIGN_PASSWORD_FILE=$1/password
}
use_certificate "$work/certificate"

# The release's package, signed as it is.
cp "$package" "$work/release-signed.msix"
bash "$root/tools/release/sign.sh" "$work/release-signed.msix" || exit 2

# The package as a signed build makes it, naming stand-ins for the DLL (the
# class and the family name this Publisher gives, which the build's check
# looks for) and the program.
manifest=$(python3 -c "import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).read('AppxManifest.xml').decode())" \
    "$package") || exit 2
class=$(sed -n 's/.*Clsid="\([^"]*\)".*/\1/p' <<<"$manifest" | head -n 1)
version=$(sed -n 's/.*<Identity [^>]*Version="\([0-9.]*\)".*/\1/p' <<<"$manifest")
build_signed() {  # out
    mkdir -p "$work/installed"
    python3 "$root/tests/support/stand-in-dll.py" "$work/installed/Tessaly64_10000.dll" \
        "$(bash "$root/tools/package/publisher.sh" --family)" "$class"
    echo MZ >"$work/installed/tessaly-shell.exe"
    bash "$root/tools/package/build-package.sh" "$root/resources/package/AppxManifest.xml.in" \
        "$root/resources/pictures/stopwatch.svg" "$version" "$class" "$work/installed/Tessaly64_10000.dll" \
        "$work/installed/tessaly-shell.exe" "$work/stage" "$1"
}
build_signed "$work/built-signed.msix" || exit 2
use_certificate "$work/plain"
build_signed "$work/built-signed-plain.msix" || exit 2

failures=0 checks=0
expect() {  # description, problem text (empty: passed)
    checks=$((checks + 1))
    if [ -z "$2" ]; then echo "ok   $1"; else echo "FAIL $1: $2"; failures=$((failures + 1)); fi
}
zip_problems() {
    python3 - "$1" <<'PY'
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
for info in archive.infolist():
    try:
        if len(archive.read(info)) != info.file_size:
            print('%s: size' % info.filename)
    except Exception as error:  # a bad CRC, a bad deflate stream
        print('%s: %s' % (info.filename, error))
PY
    if command -v unzip >/dev/null && ! unzip -tqq "$1" >"$work/unzip.log" 2>&1; then
        echo "unzip -t: $(head -n 2 "$work/unzip.log" | tr '\n' ' ')"
    fi
}
identity_of() {  # unpacked folder, attribute of the manifest's Identity
    python3 -c "import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1] + '/AppxManifest.xml').getroot()
print(root.find('{http://schemas.microsoft.com/appx/manifest/foundation/windows10}Identity').get(sys.argv[2]))" \
        "$1" "$2" 2>/dev/null
}
for name in release release-signed built-signed built-signed-plain ${arm64_package:+release-arm64}; do
    file=$work/$name.msix
    [ "$name" != release ] || file=$package
    [ "$name" != release-arm64 ] || file=$arm64_package
    signature=-ss
    [ "$name" != built-signed-plain ] || signature=-ac
    expect "$name: every zip entry reads back" "$(zip_problems "$file" | tr '\n' ' ')"
    if LD_LIBRARY_PATH=$reader "$reader/makemsix" unpack -p "$file" -d "$work/$name" $signature >"$work/reader.log" 2>&1; then
        expect "$name: the MSIX SDK reader unpacks it ($signature)" ""
    else
        expect "$name: the MSIX SDK reader unpacks it ($signature)" "$(grep -iv '^microsoft\|^copyright\|^$' "$work/reader.log" |
            head -n 3 | tr '\n' ' ')"
    fi
done
unsigned_mark=$(python3 -c "import sys; sys.path.insert(0, sys.argv[1]); import publisher
print(publisher.UNSIGNED_PUBLISHER_ATTRIBUTE)" "$root/tools/package")
publisher=$(identity_of "$work/release" Publisher)
expect "release: an unsigned build's Publisher carries the unsigned mark" \
    "$([[ $publisher == "CN="*", $unsigned_mark" ]] || echo "it is '$publisher'")"
if [ -n "$arm64_package" ]; then
    architecture=$(identity_of "$work/release-arm64" ProcessorArchitecture)
    expect "release-arm64: the package is for arm64" "$([ "$architecture" = arm64 ] || echo "it is '$architecture'")"
fi
publisher=$(identity_of "$work/built-signed" Publisher)
expect "built-signed: the Publisher is the certificate's subject as Windows spells it" \
    "$([ "$publisher" = "$windows_subject" ] || echo "it is '$publisher'")"
expect "built-signed: its signature verifies" \
    "$(osslsigncode verify -CAfile "$work/certificate/certificate.pem" -in "$work/built-signed.msix" >/dev/null 2>&1 ||
        echo "osslsigncode verify fails")"
echo "package readers: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
