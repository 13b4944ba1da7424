#!/bin/bash
# Fails the build when the DLL imports anything but system DLLs, when its
# export directory is not exactly the five exports of an in-process server
# under the name the shell finds it by, or when it is built for another
# machine than MACHINE (the COFF header's number, such as 0x8664 for x86-64,
# 0x14C for x86, 0xAA64 for ARM64):
#   bash tools/check-dll.sh OBJDUMP DLL NAME [MACHINE]   (NAME such as Tessaly64_10000.dll)
# OBJDUMP is mingw-w64's objdump or, for ARM64 files, which it cannot read,
# llvm-objdump; both print the headers with -p, each in its own words.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
objdump=$1 dll=$2 expected_name=$3 expected_machine=${4:-}
headers=$("$objdump" -p "$dll")

if [ -n "$expected_machine" ]; then
    # The PE header's offset is at 0x3C; the machine follows its signature.
    pe=$(od -An -tu4 -j60 -N4 "$dll" | tr -d ' ')
    machine=$(printf '0x%X' "$(od -An -tu2 -j$((pe + 4)) -N2 "$dll" | tr -d ' ')")
    if [ "${machine^^}" != "${expected_machine^^}" ]; then
        echo "check-dll: $dll is built for machine $machine, not $expected_machine" >&2
        exit 1
    fi
fi

allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|shlwapi|msvcrt|version)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
bad=$(grep -v -E "$allowed" <<<"$imports" || true)
if [ -n "$bad" ]; then
    echo "check-dll: $dll imports non-system DLLs: $bad" >&2
    exit 1
fi

if grep -q '^Export Table:' <<<"$headers"; then  # llvm-objdump
    name=$(sed -n 's/^[[:space:]]*DLL name: //p' <<<"$headers" | head -n 1)
    exports=$(sed -n '/^Export Table:/,/^$/p' <<<"$headers" |
        sed -n 's/^[[:space:]]*[0-9][0-9]*[[:space:]]*0x[0-9a-f]*[[:space:]]*//p')
else
    name=$(sed -n 's/^Name[[:space:]]*[0-9a-f]* //p' <<<"$headers" | head -n 1)
    exports=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$headers" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p')
fi
if [ "$name" != "$expected_name" ]; then
    echo "check-dll: export directory name is '$name', not $expected_name" >&2
    exit 1
fi
exports=$(sort <<<"$exports" | tr '\n' ' ')
expected="DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer "
if [ "$exports" != "$expected" ]; then
    echo "check-dll: exports are '$exports', expected '$expected'" >&2
    exit 1
fi
