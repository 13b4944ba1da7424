#!/bin/bash
# Prints the Windows 11 package's Publisher: the subject of the certificate
# TESSALY_SIGN_PFX names, in Windows' spelling, or an unsigned build's
# Publisher when none is named (tools/package/publisher.py); with --family,
# the family name that Publisher gives the package instead:
#   bash tools/package/publisher.sh [--family] [CERTIFICATE_OUT.pem]
# With CERTIFICATE_OUT, the certificate (without its key) is also written
# there. A certificate that cannot be read, or whose subject no Publisher
# can hold, ends it with one line saying so and a failure status, so a
# caller that takes its output as the Publisher fails too.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
family=0
[ "${1:-}" != --family ] || { family=1; shift; }
if [ -z "${TESSALY_SIGN_PFX:-}" ]; then
    publisher=$(python3 "$here/publisher.py" --unsigned)
else
    certificate=${1:-}
    if [ -z "$certificate" ]; then
        certificate=$(mktemp "${TMPDIR:-/tmp}/tessaly-certificate.XXXXXX")
        trap 'rm -f "$certificate"' EXIT
    fi
    if ! openssl pkcs12 -in "$TESSALY_SIGN_PFX" -passin "file:${TESSALY_SIGN_PASSWORD_FILE:-/dev/null}" -nokeys \
            -clcerts -out "$certificate" 2>/dev/null || [ ! -s "$certificate" ]; then
        echo "publisher: cannot read a certificate from TESSALY_SIGN_PFX=$TESSALY_SIGN_PFX (missing, not a PFX," \
            "or its password not the one TESSALY_SIGN_PASSWORD_FILE holds)" >&2
        exit 1
    fi
    publisher=$(python3 "$here/publisher.py" "$certificate")
fi
if [ $family = 1 ]; then python3 "$here/publisher.py" --family "$publisher"; else echo "$publisher"; fi
