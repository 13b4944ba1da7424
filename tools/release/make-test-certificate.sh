#!/bin/bash
# Makes a throwaway code-signing certificate for tests and release checks:
#   bash tools/release/make-test-certificate.sh FOLDER [SUBJECT]
# FOLDER receives certificate.pem (the certificate), key.pem, certificate.pfx
# (both, for TESSALY_SIGN_PFX) and password (for TESSALY_SIGN_PASSWORD_FILE).
# SUBJECT is in openssl's form, UTF-8, "+" joining the attributes of one
# part (default /C=GB/O=Quenbridge/CN=Quenbridge Test Signing).
# An end-entity certificate, as Microsoft's recipe for a package signing
# certificate makes one: not a CA, usable for code signing and digital
# signatures only. Windows' signature check refuses a CA certificate that
# lacks certificate-signing usage ("not valid for the requested usage").
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
folder=$1
subject=${2:-/C=GB/O=Quenbridge/CN=Quenbridge Test Signing}
mkdir -p "$folder"
cat >"$folder/openssl.cnf" <<'CNF'
[req]
distinguished_name = subject
x509_extensions = end_entity
[subject]
[end_entity]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
CNF
openssl req -x509 -config "$folder/openssl.cnf" -newkey rsa:2048 -nodes -keyout "$folder/key.pem" \
    -out "$folder/certificate.pem" -days 30 -utf8 -multivalue-rdn -subj "$subject" 2>/dev/null
head -c 24 /dev/urandom | base64 >"$folder/password"
openssl pkcs12 -export -inkey "$folder/key.pem" -in "$folder/certificate.pem" -out "$folder/certificate.pfx" \
    -passout "file:$folder/password"
rm -f "$folder/openssl.cnf"
