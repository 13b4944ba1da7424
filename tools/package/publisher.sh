#!/bin/bash
# Prints the Windows 11 package's Publisher: the subject of the certificate
# TESSALY_SIGN_PFX names, in Windows' spelling, or an unsigned build's
# Publisher when none is named (tools/package/publisher.py):
#   bash tools/package/publisher.sh [CERTIFICATE_OUT.pem]
# With an argument, the certificate (without its key) is also written there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${TESSALY_SIGN_PFX:-}" ]; then
    python3 "$here/publisher.py" --unsigned
    exit 0
fi
certificate=${1:-}
if [ -z "$certificate" ]; then
    certificate=$(mktemp "${TMPDIR:-/tmp}/tessaly-certificate.XXXXXX")
    trap 'rm -f "$certificate"' EXIT
fi
openssl pkcs12 -in "$TESSALY_SIGN_PFX" -passin "file:${TESSALY_SIGN_PASSWORD_FILE:-/dev/null}" -nokeys -clcerts \
    -out "$certificate" 2>/dev/null || { echo "publisher: cannot read the certificate $TESSALY_SIGN_PFX" >&2; exit 1; }
python3 "$here/publisher.py" "$certificate"
