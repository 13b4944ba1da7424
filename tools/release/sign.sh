#!/bin/bash
# Signs release files in place with the certificate the builder names:
#   TESSALY_SIGN_PFX=cert.pfx TESSALY_SIGN_PASSWORD_FILE=password.txt bash tools/release/sign.sh FILE...
# Without TESSALY_SIGN_PFX it changes nothing (the release step says once
# that the files are unsigned). PE files (DLLs, programs), installer
# packages and Windows 11 packages alike, with SHA-256. The signing time is
# the sources' own (SOURCE_DATE_EPOCH, else the last commit's), or the
# certificate's first valid second when it was made later (a signature
# dated before its certificate existed fails a check made at its signing
# time); the clock osslsigncode sees is held there too (it dates the
# signature's entry in a package), so the same sources and certificate give
# the same bytes. A certificate that expired before that time signs nothing.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
[ -n "${TESSALY_SIGN_PFX:-}" ] || exit 0
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -r "$TESSALY_SIGN_PFX" ]; then
    echo "sign: cannot read the certificate TESSALY_SIGN_PFX=$TESSALY_SIGN_PFX" >&2
    exit 1
fi
password=${TESSALY_SIGN_PASSWORD_FILE:-}
if [ -z "$password" ] || [ ! -r "$password" ]; then
    echo "sign: TESSALY_SIGN_PASSWORD_FILE must name a readable file holding the certificate's password" >&2
    exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
if ! dates=$(openssl pkcs12 -in "$TESSALY_SIGN_PFX" -passin "file:$password" -nokeys -clcerts 2>/dev/null |
        openssl x509 -noout -startdate -enddate 2>/dev/null); then
    echo "sign: cannot read the certificate in TESSALY_SIGN_PFX=$TESSALY_SIGN_PFX with its password" >&2
    exit 1
fi
valid_from=$(date -d "$(sed -n 's/^notBefore=//p' <<<"$dates")" +%s)
valid_to=$(date -d "$(sed -n 's/^notAfter=//p' <<<"$dates")" +%s)
[ "$epoch" -ge "$valid_from" ] || epoch=$valid_from
if [ "$epoch" -gt "$valid_to" ]; then
    echo "sign: the certificate in $TESSALY_SIGN_PFX expired ($(sed -n 's/^notAfter=//p' <<<"$dates")) before the" \
        "sources' time it would sign at" >&2
    exit 1
fi
at=$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
for file in "$@"; do
    rm -f "$file.signing"
    # An installer package's signature also covers its summary and streams
    # (MsiDigitalSignatureEx), as Windows' own signing tool writes it.
    extra=()
    [[ $file != *.msi ]] || extra=(-add-msi-dse)
    if ! TZ=UTC faketime -f "$at" osslsigncode sign -pkcs12 "$TESSALY_SIGN_PFX" -readpass "$password" \
            -h sha256 -n Tessaly -time "$epoch" "${extra[@]}" -in "$file" -out "$file.signing" >"$file.signing.log" 2>&1; then
        cat "$file.signing.log" >&2
        rm -f "$file.signing" "$file.signing.log"
        echo "sign: could not sign $file" >&2
        exit 1
    fi
    rm -f "$file.signing.log"
    mv "$file.signing" "$file"
done
