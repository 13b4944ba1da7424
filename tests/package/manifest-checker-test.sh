#!/bin/bash
# The manifest checker passes the built package's manifest and refuses each
# broken copy of it, one rule at a time, naming the rule:
#   bash tests/package/manifest-checker-test.sh STAGE
# STAGE is the built package's folder (the manifest and its Assets). The DLL
# is a stand-in holding the class the manifest declares and the package
# family name its Publisher gives, the program a stand-in file, the
# certificate a throwaway one whose subject becomes the Publisher.
. "$(dirname "$0")/../../tools/usage.sh"
set -uo pipefail
stage=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
checker=$root/tools/package/check-manifest.py
publisher_tool=$root/tools/package/publisher.py
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-checker.XXXXXX")
trap 'rm -rf "$work"' EXIT
bash "$root/tools/release/make-test-certificate.sh" "$work/signing" "/C=GB/O=Quenbridge/CN=Quenbridge Release" ||
    exit 2
class=$(sed -n 's/.*Clsid="\([^"]*\)".*/\1/p' "$stage/AppxManifest.xml" | head -n 1)
publisher=$(python3 "$publisher_tool" "$work/signing/certificate.pem")
stand_in() {  # file, package family name ("" for none), class id ("" for none)
    mkdir -p "$(dirname "$1")"
    python3 "$root/tests/support/stand-in-dll.py" "$1" "$2" "$3"
}
stand_in "$work/Tessaly64_10000.dll" "$(python3 "$publisher_tool" --family "$publisher")" "$class"
echo MZ >"$work/tessaly-shell.exe"
cp -r "$stage/Assets" "$work/Assets"
sed "s/Publisher=\"[^\"]*\"/Publisher=\"$publisher\"/" "$stage/AppxManifest.xml" >"$work/good.xml"

check() {  # manifest [dll [certificate, "" for an unsigned package]]
    cp "$1" "$work/AppxManifest.xml"
    local signing=(--certificate "${3-$work/signing/certificate.pem}")
    [ -n "${signing[1]}" ] || signing=()
    python3 "$checker" "$work/AppxManifest.xml" --folder "$work" --dll "${2:-$work/Tessaly64_10000.dll}" \
        --program "$work/tessaly-shell.exe" \
        --version "$(sed -n 's/.*Version="\([0-9.]*\)".*/\1/p' "$work/good.xml" | head -n 1)" "${signing[@]}" 2>&1
}
failures=0
if ! output=$(check "$work/good.xml"); then
    echo "FAIL the built manifest is refused: $output"
    failures=1
fi

# What is broken | sed expression applied to the good manifest | words the refusal must hold
rows=(
    'not well-formed|s#</Properties>#</Propertes>#|not well-formed'
    'a prefix used but not declared|s# xmlns:desktop5="[^"]*"##|not declared'
    'a namespace declared wrongly|s#desktop/windows10/5"#desktop/windows10/6"#|namespace desktop5'
    'identity name|s#Name="Quenbridge.Tessaly"#Name="Tessaly"#|Identity Name'
    'identity version form|s#Version="\([0-9]*\)\.[0-9.]*"#Version="\1.0.0"#|four numbers'
    'identity version other than the project|s#Version="[0-9]*\.#Version="9.#|the project is'
    'architecture other than the DLL|s#ProcessorArchitecture="x64"#ProcessorArchitecture="arm64"#|machine (x64)'
    'publisher other than the certificate|s#Publisher="[^"]*"#Publisher="CN=Someone Else"#|certificate subject'
    'publisher spelled otherwise|s#Publisher="\([^"]*\)"#Publisher="\1 "#|certificate subject'
    'external content not allowed|s#AllowExternalContent>true<#AllowExternalContent>false<#|external content'
    'full trust missing|s#<rescap:Capability Name="runFullTrust" />##|runFullTrust'
    'unvirtualized resources missing|s#<rescap:Capability Name="unvirtualizedResources" />##|unvirtualizedResources'
    'not medium integrity|s#"mediumIL"#"appContainer"#|medium integrity'
    'verb id with a dot|0,/Verb Id="0000Tessaly"/s//Verb Id="0000Tessaly.Menu"/|letters and digits'
    'verb naming an undeclared class|0,/Clsid="[^"]*"/s//Clsid="00000000-0000-0000-0000-000000000001"/|no com:SurrogateServer'
    'background left out|s#Type="Directory\\Background"#Type=".txt"#|exactly'
    'class path not the DLL|s#Path="Tessaly64_10000.dll"#Path="Tessaly32_10000.dll"#|not the DLL'
    'logo missing|s#Assets\\StoreLogo.png#Assets\\Missing.png#|lacks the logo'
    'program not the installed one|s#Executable="[^"]*"#Executable="Tessaly.exe"#|installed program'
)
for row in "${rows[@]}"; do
    IFS='|' read -r what expression expected <<<"$row"
    sed "$expression" "$work/good.xml" >"$work/broken.xml"
    if cmp -s "$work/good.xml" "$work/broken.xml"; then
        echo "FAIL $what: the edit changed nothing"
        failures=$((failures + 1))
    elif output=$(check "$work/broken.xml"); then
        echo "FAIL $what: accepted"
        failures=$((failures + 1))
    elif ! grep -q -- "$expected" <<<"$output"; then
        echo "FAIL $what: refused for another reason: $output"
        failures=$((failures + 1))
    else
        echo "ok   $what: $(head -n 1 <<<"$output")"
    fi
done
# The DLL named must hold the declared class.
dll_rows=(
    "a DLL without the class|$(python3 "$publisher_tool" --family "$publisher")||does not hold class"
)
for row in "${dll_rows[@]}"; do
    IFS='|' read -r what family clsid expected <<<"$row"
    stand_in "$work/other/Tessaly64_10000.dll" "$family" "$clsid"
    if output=$(check "$work/good.xml" "$work/other/Tessaly64_10000.dll") || ! grep -q "$expected" <<<"$output"; then
        echo "FAIL $what: ${output:-accepted}"
        failures=$((failures + 1))
    else
        echo "ok   $what: $output"
    fi
done
# Windows registers an unsigned package only when its Publisher carries the
# unsigned mark.
publisher_rows=(
    "an unsigned package with the mark|$(python3 "$publisher_tool" --unsigned)||"
    "an unsigned package without the mark|$publisher||unsigned package"
)
for row in "${publisher_rows[@]}"; do
    IFS='|' read -r what manifest_publisher certificate expected <<<"$row"
    stand_in "$work/other/Tessaly64_10000.dll" "$(python3 "$publisher_tool" --family "$manifest_publisher")" "$class"
    python3 - "$work/good.xml" "$work/publisher.xml" "$manifest_publisher" <<'PY'
import re, sys
from xml.sax.saxutils import quoteattr
text = open(sys.argv[1], encoding='utf-8').read()
open(sys.argv[2], 'w', encoding='utf-8').write(re.sub(r'Publisher="[^"]*"', 'Publisher=' + quoteattr(sys.argv[3]), text))
PY
    output=$(check "$work/publisher.xml" "$work/other/Tessaly64_10000.dll" "$certificate")
    status=$?
    if { [ -z "$expected" ] && [ $status -ne 0 ]; } ||
        { [ -n "$expected" ] && { [ $status -eq 0 ] || ! grep -q "$expected" <<<"$output"; }; }; then
        echo "FAIL $what: ${output:-accepted}"
        failures=$((failures + 1))
    else
        echo "ok   $what${output:+: $output}"
    fi
done
echo "manifest checker: $((${#rows[@]} + ${#dll_rows[@]} + ${#publisher_rows[@]} + 1 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
