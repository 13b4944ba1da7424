#!/bin/bash
# Signs copies of the built release files with a throwaway certificate the
# way the release step does (tools/release/sign.sh), and checks that each
# verifies against that certificate as its trusted root, that a changed
# byte fails verification, that signing again gives the same bytes, and
# that the signed programs and DLLs keep a valid PE checksum:
#   bash tests/release/signing-test.sh CHECKSUM_TOOL FILE...
# CHECKSUM_TOOL is check-pe-checksum.exe, run under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
checksum_tool=$1
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/certificate.pem" -days 30 \
    -subj "/C=GB/O=Quenbridge/CN=Quenbridge Test Signing" -addext "extendedKeyUsage=codeSigning" \
    -addext "keyUsage=digitalSignature" 2>/dev/null || exit 2
echo "throwaway password" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" -out "$work/certificate.pfx" \
    -passout "file:$work/password" || exit 2
export TESSALY_SIGN_PFX=$work/certificate.pfx TESSALY_SIGN_PASSWORD_FILE=$work/password

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
mkdir "$work/first" "$work/second"
for file in "$@"; do
    cp "$file" "$work/first/" && cp "$file" "$work/second/"
done
bash "$root/tools/release/sign.sh" "$work"/first/* || exit 1
bash "$root/tools/release/sign.sh" "$work"/second/* || exit 1
pe_files=()
for signed in "$work"/first/*; do
    name=$(basename "$signed")
    if osslsigncode verify -CAfile "$work/certificate.pem" -in "$signed" >"$work/verify.log" 2>&1 &&
        ! grep -qi "warning" "$work/verify.log"; then
        echo "ok   $name: signed, verified against the test certificate"
    else
        fail "$name does not verify: $(grep -i 'warning\|error\|fail' "$work/verify.log" | head -n 3)"
    fi
    cmp -s "$signed" "$work/second/$name" || fail "$name: two signatures of the same file differ"
    # One changed byte in the middle of the file (for a package, inside a part).
    cp "$signed" "$work/tampered"
    offset=$(($(stat -c %s "$signed") / 3))
    byte=$(od -An -tu1 -j "$offset" -N1 "$work/tampered" | tr -d ' ')
    printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$work/tampered" bs=1 seek="$offset" conv=notrunc 2>/dev/null
    if osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/tampered" >/dev/null 2>&1; then
        fail "$name: verification passed after a byte at $offset was changed"
    fi
    case $name in *.dll | *.exe) pe_files+=("$signed") ;; esac
done
if [ ${#pe_files[@]} -gt 0 ]; then
    bash "$root/tools/wine-run.sh" "$checksum_tool" "${pe_files[@]}" || fail "a signed file's PE checksum"
fi
echo "signing: $(($# - failures)) passed, $failures failed"
[ $failures -eq 0 ]
