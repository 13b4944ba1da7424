#!/bin/bash
# Builds the installer package, the same bytes from the same inputs:
#   bash tools/installer/build-msi.sh WXS DLL DLL32 ICON VERSION DLL32_VERSION WEB_ADDRESS REGISTRY_TABLE
#       WINDOWS_PACKAGE ASSETS PROGRAM ACTIONS OUT.msi [PLATFORM]
# WXS is the generated installer source; DLL and DLL32 are the 64-bit DLL and
# its 32-bit companion; VERSION (the package's and DLL's) and DLL32_VERSION
# have four numbers (the package's product version takes the first three);
# WINDOWS_PACKAGE is the Windows 11 package, ASSETS the folder of its logos
# and PROGRAM the program it names, installed beside the 64-bit DLL; ACTIONS
# is the DLL of the installer's actions for that package. PLATFORM is x64
# (the default) or arm64, for Windows on ARM: wixl writes x64 packages only,
# so an arm64 one is written as x64 and then marked for the Arm64 platform,
# which also asks for Windows Installer 5.0. wixl stamps a package
# with the time it runs, its file with that file's time, and gives it a new
# random package code each time: here every time is the sources' own
# (SOURCE_DATE_EPOCH, else the last commit's), and the package code is
# worked out from what the package holds, so it changes exactly when that
# does, as the Windows Installer requires.
. "$(dirname "$0")/../usage.sh"
set -euo pipefail
wxs=$1 dll=$2 dll32=$3 icon=$4 version=$5 dll32_version=$6 web_address=$7 table=$8 windows_package=$9
assets=${10} program=${11} actions=${12} out=${13} platform=${14:-x64}
case $platform in
    x64) installer_version=200 ;;
    arm64) installer_version=500 ;;
    *) echo "build-msi: no platform $platform (x64 or arm64)" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-msi.XXXXXX")
trap 'rm -rf "$stage"' EXIT

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
export TZ=UTC
at=$(date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
cp "$dll" "$stage/Tessaly64_10000.dll"
cp "$dll32" "$stage/Tessaly32_10000.dll"
cp "$icon" "$stage/tessaly.ico"
cp "$windows_package" "$stage/Tessaly.msix"
cp -r "$assets" "$stage/Assets"
cp "$program" "$stage/tessaly-shell.exe"
cp "$actions" "$stage/TessalyInstallerActions.dll"
find "$stage" -type f -exec touch -d "@$epoch" {} +

product_version=$(cut -d. -f1-3 <<<"$version")
hash=$(cat "$wxs" "$stage/Tessaly64_10000.dll" "$stage/Tessaly32_10000.dll" "$stage/tessaly.ico" \
    "$stage/Tessaly.msix" "$stage"/Assets/* "$stage/tessaly-shell.exe" "$stage/TessalyInstallerActions.dll" \
    "$here/CustomAction.idt" <(echo "$version $dll32_version $web_address $platform") |
    sha256sum | cut -c1-32 | tr a-f A-F)
package_code="{${hash:0:8}-${hash:8:4}-${hash:12:4}-${hash:16:4}-${hash:20:12}}"

rm -f "$out"
(cd "$stage" && faketime "$at" wixl -a x64 -D "ProductVersion=$product_version" -D "WebAddress=$web_address" \
    -D "InstallerVersion=$installer_version" -o "$out" "$wxs")
summary=$(msiinfo suminfo "$out")
field() { sed -n "s/^$1: //p" <<<"$summary"; }
template=$(field Template)
# The Template's platform is what the Windows Installer checks against the
# machine ("Arm64;1033" installs on ARM64 only).
[ "$platform" = x64 ] || template="Arm64;${template#*;}"
# msibuild sets the subject, author, template and package code together.
faketime "$at" msibuild "$out" -s "$(field Subject)" "$(field Author)" "$template" "$package_code"
# A DLL with a version block is a versioned file to the Windows Installer
# (so an update replaces an older one); wixl writes it as unversioned, with
# the hash that only unversioned files carry.
faketime "$at" msibuild "$out" \
    -q "UPDATE \`File\` SET \`Version\` = '$version' WHERE \`File\` = 'TessalyDll'" \
    -q "UPDATE \`File\` SET \`Version\` = '$dll32_version' WHERE \`File\` = 'TessalyDll32'" \
    -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'TessalyDll' OR \`File_\` = 'TessalyDll32'"
# The Windows 11 package's actions, which wixl cannot write (it drops the
# rollback flag and misplaces actions sequenced before others): each runs
# its fixed PowerShell command through the actions DLL
# (actions/PackageActions.cpp), deferred, its failure ignored (the classic
# menu works without the package); a registration is given the install
# folder as its data by the immediate action before it (its Data row in
# CustomAction.idt), a removal needs none. Only from Windows 11 (build
# 22000) on, where the file manager's first menu reads packages:
#  - before the files go, on removal: the removal for this user and, as the
#    system, for every user; its rollback registers the package again;
#  - once the files are in place, on every install, repair and update: the
#    registration; on a first install its rollback removes it again.
windows11='WINDOWSBUILD >= 22000'
sequence=(
    3480 TessalyRemovePackageRollback "REMOVE~=\"ALL\" AND $windows11"
    3482 TessalyRemovePackage "REMOVE~=\"ALL\" AND $windows11"
    3484 TessalyRemovePackageForAllUsers "REMOVE~=\"ALL\" AND $windows11"
    4002 TessalyRegisterPackageRollback "NOT Installed AND NOT REMOVE~=\"ALL\" AND $windows11"
    4004 TessalyRegisterPackage "NOT REMOVE~=\"ALL\" AND $windows11"
)
queries=()
for ((i = 0; i < ${#sequence[@]}; i += 3)); do
    position=${sequence[i]} action=${sequence[i + 1]} condition=${sequence[i + 2]}
    rows=("$action $position")
    ! grep -q "^${action}Data"$'\t' "$here/CustomAction.idt" || rows=("${action}Data $((position - 1))" "${rows[@]}")
    for row in "${rows[@]}"; do
        queries+=(-q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('${row% *}', '$condition', ${row#* })")
    done
done
# Earlier versions installed a script for those actions beside the package;
# nothing runs it now, and an update or removal takes it away (wixl writes
# no file name into RemoveFile).
queries+=(-q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemoveOldPackageScript', 'TessalyWindowsPackage', 'tessaly-package.ps1', 'INSTALLDIR', 3)")
faketime "$at" msibuild "$out" -i "$here/CustomAction.idt" "${queries[@]}"
bash "$here/check-msi-registry.sh" "$out" "$table"
bash "$here/../release/sign.sh" "$out"
