#!/bin/bash
# What the installer test under Wine cannot see of the Windows 11 package's
# actions, read from the built package's tables (msitools):
#   bash tests/installer/package-actions-test.sh PACKAGE.msi
# Each is deferred (in the installation script, run from the actions DLL
# in the Binary table) and ignores its own failure; the registration and
# the removal for this user run as the installing user (a registration
# belongs to a user), the removal for every user as the system (only an
# administrator may remove a package for other users); each rollback action
# is flagged as one and stands before the action it undoes.
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
# Action | runs as the system (1) or the installing user (0) | rollback only | undoes
rows=(
    "TessalyRegisterPackage 0 0 -"
    "TessalyRegisterPackageRollback 0 1 TessalyRegisterPackage"
    "TessalyRemovePackage 0 0 -"
    "TessalyRemovePackageForAllUsers 1 0 -"
    "TessalyRemovePackageRollback 0 1 TessalyRemovePackage"
)
for row in "${rows[@]}"; do
    read -r action system rollback undoes <<<"$row"
    type=$(column_of CustomAction "$action" 2)
    type=${type:-0}
    expect "$action runs the actions DLL, deferred, its failure ignored" $((type & 0x4FF)) -eq $((0x441)) \
        -a "$(column_of CustomAction "$action" 3)" = TessalyInstallerActions
    expect "$action runs as $([ "$system" = 1 ] && echo the system || echo the installing user)" \
        $(((type & 0x800) != 0)) -eq "$system"
    expect "$action is $([ "$rollback" = 1 ] || echo "not ")rollback only" $(((type & 0x100) != 0)) -eq "$rollback"
    expect "$action is given the install folder" "$(column_of CustomAction "${action}Data" 4)" = "[INSTALLDIR]" \
        -a "$(sequence "${action}Data")" -lt "$(sequence "$action")"
    [ "$undoes" = - ] || expect "$action stands before $undoes" "$(sequence "$action")" -lt "$(sequence "$undoes")"
done
expect "registration after InstallFiles" "$(sequence TessalyRegisterPackageRollback)" -gt "$(sequence InstallFiles)"
expect "registration before InstallFinalize" "$(sequence TessalyRegisterPackage)" -lt "$(sequence InstallFinalize)"
expect "removal after InstallInitialize" "$(sequence TessalyRemovePackageRollback)" -gt "$(sequence InstallInitialize)"
expect "removal before RemoveFiles" "$(sequence TessalyRemovePackageForAllUsers)" -lt "$(sequence RemoveFiles)"
echo "package actions: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
