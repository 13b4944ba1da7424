#!/bin/bash
# Signs copies of the built release files with a throwaway certificate the
# way the release step does (tools/release/sign.sh), and checks that each
# verifies against that certificate as its trusted root with no warning (a
# stale PE checksum would be one), also at its own signing time (the
# certificate, made now, is younger than the last commit), that a changed
# byte fails verification, and that signing again, a day later, gives the
# same bytes:
#   bash tests/release/signing-test.sh FILE...
. "$(dirname "$0")/../../tools/usage.sh"
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
bash "$root/tools/release/make-test-certificate.sh" "$work" || exit 2
export TESSALY_SIGN_PFX=$work/certificate.pfx TESSALY_SIGN_PASSWORD_FILE=$work/password

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
mkdir "$work/first" "$work/second"
for file in "$@"; do
    cp "$file" "$work/first/" && cp "$file" "$work/second/"
done
bash "$root/tools/release/sign.sh" "$work"/first/* || exit 1
# The second signing sees a clock a day later: the signed bytes must not.
faketime -f "+1d" bash "$root/tools/release/sign.sh" "$work"/second/* || exit 1
for signed in "$work"/first/*; do
    name=$(basename "$signed")
    if osslsigncode verify -CAfile "$work/certificate.pem" -in "$signed" >"$work/verify.log" 2>&1 &&
        ! grep -qi "warning" "$work/verify.log"; then
        echo "ok   $name: signed, verified against the test certificate"
    else
        fail "$name does not verify: $(grep -i 'warning\|error\|fail' "$work/verify.log" | head -n 3)"
    fi
    signed_at=$(date -d "$(sed -n 's/^[[:space:]]*Signing time: //p' "$work/verify.log" | head -n 1)" +%s)
    osslsigncode verify -CAfile "$work/certificate.pem" -time "$signed_at" -in "$signed" >/dev/null 2>&1 ||
        fail "$name: its certificate was not valid at its signing time ($(date -u -d "@$signed_at"))"
    cmp -s "$signed" "$work/second/$name" || fail "$name: two signatures of the same file differ"
    # One changed byte in the middle of the file (for a package, inside a part).
    cp "$signed" "$work/tampered"
    offset=$(($(stat -c %s "$signed") / 3))
    byte=$(od -An -tu1 -j "$offset" -N1 "$work/tampered" | tr -d ' ')
    printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$work/tampered" bs=1 seek="$offset" conv=notrunc 2>/dev/null
    if osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/tampered" >/dev/null 2>&1; then
        fail "$name: verification passed after a byte at $offset was changed"
    fi
done
echo "signing: $(($# - failures)) passed, $failures failed"
[ $failures -eq 0 ]
