#!/bin/bash
# Fails the build when the DLL imports anything but system DLLs, or when its
# export directory is not exactly the five exports of an in-process server
# under the name the shell finds it by:
#   bash tools/check-dll.sh OBJDUMP DLL NAME   (NAME such as Tessaly64_10000.dll)
. "$(dirname "$0")/usage.sh"
set -euo pipefail
objdump=$1 dll=$2 expected_name=$3
headers=$("$objdump" -p "$dll")

allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|shlwapi|msvcrt|version)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
bad=$(grep -v -E "$allowed" <<<"$imports" || true)
if [ -n "$bad" ]; then
    echo "check-dll: $dll imports non-system DLLs: $bad" >&2
    exit 1
fi

name=$(sed -n 's/^Name[[:space:]]*[0-9a-f]* //p' <<<"$headers" | head -n 1)
if [ "$name" != "$expected_name" ]; then
    echo "check-dll: export directory name is '$name', not $expected_name" >&2
    exit 1
fi
exports=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$headers" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort | tr '\n' ' ')
expected="DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer "
if [ "$exports" != "$expected" ]; then
    echo "check-dll: exports are '$exports', expected '$expected'" >&2
    exit 1
fi
