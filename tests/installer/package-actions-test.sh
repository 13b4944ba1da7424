#!/bin/bash
# What the installer test under Wine cannot see of the Windows 11 package's
# actions, read from the built package's tables (msitools):
#   bash tests/installer/package-actions-test.sh PACKAGE.msi
# Each is deferred (in the installation script, run from the actions DLL
# in the Binary table) and ignores its own failure; the registration and
# the removal for this user run as the installing user (a registration
# belongs to a user), the removal for every user as the system (only an
# administrator may remove a package for other users); each rollback action
# is flagged as one and stands before the action it undoes; only a
# registration is given the install folder, and no action of the package
# runs a file from it (all of them, not only these: a script or program
# there is anyone's to change where the folder lets users write).
. "$(dirname "$0")/../../tools/usage.sh"
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
# Action | runs as the system (1) or the installing user (0) | rollback only | undoes | given the folder
rows=(
    "TessalyRegisterPackage 0 0 - 1"
    "TessalyRegisterPackageRollback 0 1 TessalyRegisterPackage 0"
    "TessalyRemovePackage 0 0 - 0"
    "TessalyRemovePackageForAllUsers 1 0 - 0"
    "TessalyRemovePackageRollback 0 1 TessalyRemovePackage 1"
)
for row in "${rows[@]}"; do
    read -r action system rollback undoes folder <<<"$row"
    type=$(column_of CustomAction "$action" 2)
    type=${type:-0}
    expect "$action runs the actions DLL, deferred, its failure ignored" $((type & 0x4FF)) -eq $((0x441)) \
        -a "$(column_of CustomAction "$action" 3)" = TessalyInstallerActions
    expect "$action runs as $([ "$system" = 1 ] && echo the system || echo the installing user)" \
        $(((type & 0x800) != 0)) -eq "$system"
    expect "$action is $([ "$rollback" = 1 ] || echo "not ")rollback only" $(((type & 0x100) != 0)) -eq "$rollback"
    if [ "$folder" = 1 ]; then
        expect "$action is given the install folder" "$(column_of CustomAction "${action}Data" 4)" = "[INSTALLDIR]" \
            -a "$(sequence "${action}Data")" -lt "$(sequence "$action")"
    else
        expect "$action is given no folder" -z "$(column_of CustomAction "${action}Data" 4)$(sequence "${action}Data")"
    fi
    [ "$undoes" = - ] || expect "$action stands before $undoes" "$(sequence "$action")" -lt "$(sequence "$undoes")"
done
expect "registration after InstallFiles" "$(sequence TessalyRegisterPackageRollback)" -gt "$(sequence InstallFiles)"
expect "registration before InstallFinalize" "$(sequence TessalyRegisterPackage)" -lt "$(sequence InstallFinalize)"
expect "removal after InstallInitialize" "$(sequence TessalyRemovePackageRollback)" -gt "$(sequence InstallInitialize)"
expect "removal before RemoveFiles" "$(sequence TessalyRemovePackageForAllUsers)" -lt "$(sequence RemoveFiles)"
# A file of the install folder: a custom action's source from the File table
# (types 17, 18, 21, 22), or a target naming one ([#key], [!key], or a path
# under [INSTALLDIR]).
while IFS=$'\t' read -r action type source target _; do
    expect "$action runs no file from the install folder" $(((type & 0x3F) == 0x11 || (type & 0x3F) == 0x12 ||
        (type & 0x3F) == 0x15 || (type & 0x3F) == 0x16)) -eq 0 \
        -a -z "$(grep -E '\[[#!]|\[INSTALLDIR\][^[:space:]]' <<<"$target")"
done < <(table CustomAction)
echo "package actions: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
