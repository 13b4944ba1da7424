#!/bin/bash
# The installer's two Windows 11 package actions as the Windows Installer
# reads them from the built package's tables (msitools):
#   bash tests/installer/package-actions-test.sh PACKAGE.msi
# Each runs PowerShell from the install folder, deferred (in the
# installation script), as the installing user (not as the system), its
# failure ignored; registration once the files are installed, removal before
# they go; both only from Windows 11's first build on, read from the 64-bit
# registry view.
set -uo pipefail
msi=$1
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
failures=0 checks=0
expect() {  # description, command...
    local what=$1
    shift
    checks=$((checks + 1))
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
sequence_of() { table InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
condition_of() { table InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $2 }'; }
type_of() { table CustomAction | awk -F'\t' -v a="$1" '$1 == a { print $2 }'; }
target_of() { table CustomAction | awk -F'\t' -v a="$1" '$1 == a { print $4 }'; }

for action in TessalyRegisterPackage TessalyRemovePackage; do
    type=$(type_of $action)
    expect "$action exists" test -n "$type"
    type=${type:-0}
    expect "$action runs a program from a folder (type 34)" test $((type & 63)) -eq 34
    expect "$action is deferred" test $((type & 1024)) -ne 0
    expect "$action runs as the installing user" test $((type & 2048)) -eq 0
    expect "$action may fail" test $((type & 64)) -ne 0
    expect "$action runs PowerShell" grep -q 'WindowsPowerShell\\v1.0\\powershell.exe' <<<"$(target_of $action)"
    expect "$action only from Windows 11" grep -q 'WINDOWSBUILD >= 22000' <<<"$(condition_of $action)"
done
register=$(sequence_of TessalyRegisterPackage) remove=$(sequence_of TessalyRemovePackage)
expect "registration after InstallFiles" test "${register:-0}" -gt "$(sequence_of InstallFiles)"
expect "registration before InstallFinalize" test "${register:-0}" -lt "$(sequence_of InstallFinalize)"
expect "registration not on removal" grep -q '^NOT REMOVE~="ALL"' <<<"$(condition_of TessalyRegisterPackage)"
expect "removal before RemoveFiles" test "${remove:-9999}" -lt "$(sequence_of RemoveFiles)"
expect "removal after InstallInitialize" test "${remove:-0}" -gt "$(sequence_of InstallInitialize)"
expect "removal only on removal" grep -q '^REMOVE~="ALL"' <<<"$(condition_of TessalyRemovePackage)"
expect "the build number searched for" grep -q $'^WINDOWSBUILD\tWindowsBuildSearch$' <<<"$(table AppSearch)"
locator=$(table RegLocator | awk -F'\t' '$1 == "WindowsBuildSearch"')
expect "read from HKLM's 64-bit view" test "$(cut -f2 <<<"$locator")" = 2 -a $(($(cut -f5 <<<"$locator") & 16)) -ne 0
expect "read from CurrentBuildNumber" grep -q $'Windows NT\\\\CurrentVersion\tCurrentBuildNumber' <<<"$locator"
echo "package actions: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
