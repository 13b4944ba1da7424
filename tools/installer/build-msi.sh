#!/bin/bash
# Builds the installer package, the same bytes from the same inputs:
#   bash tools/installer/build-msi.sh WXS DLL ICON VERSION WEB_ADDRESS REGISTRY_TABLE OUT.msi
# WXS is the generated installer source; VERSION has four numbers (the
# package's product version takes the first three). wixl stamps a package
# with the time it runs, its file with that file's time, and gives it a new
# random package code each time: here every time is the sources' own
# (SOURCE_DATE_EPOCH, else the last commit's), and the package code is
# worked out from what the package holds, so it changes exactly when that
# does, as the Windows Installer requires.
set -euo pipefail
wxs=$1 dll=$2 icon=$3 version=$4 web_address=$5 table=$6 out=$7
here=$(cd "$(dirname "$0")" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-msi.XXXXXX")
trap 'rm -rf "$stage"' EXIT

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
export TZ=UTC
at=$(date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
cp "$dll" "$stage/Tessaly64_10000.dll"
cp "$icon" "$stage/tessaly.ico"
touch -d "@$epoch" "$stage/Tessaly64_10000.dll" "$stage/tessaly.ico"

product_version=$(cut -d. -f1-3 <<<"$version")
hash=$(cat "$wxs" "$stage/Tessaly64_10000.dll" "$stage/tessaly.ico" <(echo "$version $web_address") |
    sha256sum | cut -c1-32 | tr a-f A-F)
package_code="{${hash:0:8}-${hash:8:4}-${hash:12:4}-${hash:16:4}-${hash:20:12}}"

rm -f "$out"
(cd "$stage" && faketime "$at" wixl -a x64 -D "ProductVersion=$product_version" -D "WebAddress=$web_address" \
    -o "$out" "$wxs")
summary=$(msiinfo suminfo "$out")
field() { sed -n "s/^$1: //p" <<<"$summary"; }
# msibuild sets the subject, author, template and package code together.
faketime "$at" msibuild "$out" -s "$(field Subject)" "$(field Author)" "$(field Template)" "$package_code"
# A DLL with a version block is a versioned file to the Windows Installer
# (so an update replaces an older one); wixl writes it as unversioned, with
# the hash that only unversioned files carry.
faketime "$at" msibuild "$out" \
    -q "UPDATE \`File\` SET \`Version\` = '$version' WHERE \`File\` = 'TessalyDll'" \
    -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'TessalyDll'"
bash "$here/check-msi-registry.sh" "$out" "$table"
