#!/bin/bash
# What the installer test under Wine cannot see of the Windows 11 package's
# two actions, read from the built package's tables (msitools):
#   bash tests/installer/package-actions-test.sh PACKAGE.msi
# Both are deferred (in the installation script, once the files are in
# place for the registration, before they go for the removal) and run as
# the installing user, not as the system: a package registration belongs to
# a user.
set -uo pipefail
msi=$1
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
column_of() { table "$1" | awk -F'\t' -v a="$2" -v c="$3" '$1 == a { print $c }'; }
failures=0 checks=0
expect() {  # description, test arguments...
    local what=$1
    shift
    checks=$((checks + 1))
    if test "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
sequence() { column_of InstallExecuteSequence "$1" 3; }
for action in TessalyRegisterPackage TessalyRemovePackage; do
    type=$(column_of CustomAction $action 2)
    expect "$action is deferred" $((${type:-0} & 1024)) -ne 0
    expect "$action runs as the installing user" -n "$type" -a $((${type:-0} & 2048)) -eq 0
done
expect "registration after InstallFiles" "$(sequence TessalyRegisterPackage)" -gt "$(sequence InstallFiles)"
expect "registration before InstallFinalize" "$(sequence TessalyRegisterPackage)" -lt "$(sequence InstallFinalize)"
expect "removal after InstallInitialize" "$(sequence TessalyRemovePackage)" -gt "$(sequence InstallInitialize)"
expect "removal before RemoveFiles" "$(sequence TessalyRemovePackage)" -lt "$(sequence RemoveFiles)"
echo "package actions: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
