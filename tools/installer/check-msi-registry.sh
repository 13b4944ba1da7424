#!/bin/bash
# Fails when the built package's Registry table differs from the entries the
# registration scripts give (the table the installer source generator wrote):
#   bash tools/installer/check-msi-registry.sh PACKAGE.msi EXPECTED_TABLE
# So nobody can add, drop or edit a registry entry in the installer alone.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
package=$1 expected=$2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
# The export: three header lines, then Registry, Root, Key, Name, Value, Component_.
# The component says which DLL's entries a row is, and so in which registry
# view the installer writes it.
msiinfo export "$package" Registry | tr -d '\r' | tail -n +4 |
    awk -F'\t' 'BEGIN { OFS = "\t" } { print $2, $3, $4, $5, $6 }' | LC_ALL=C sort >"$actual"
if ! diff -u <(LC_ALL=C sort "$expected") "$actual"; then
    echo "check-msi-registry: $package does not hold exactly the registration scripts' entries" >&2
    exit 1
fi
