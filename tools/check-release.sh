#!/bin/bash
# Builds the release files twice, each from a clean clone of the committed
# sources in a folder of its own (the two paths differ, in length too), and
# compares the two release folders byte for byte:
#   bash tools/check-release.sh
# Both builds sign with the certificate TESSALY_SIGN_PFX names or, without
# one, with a throwaway certificate made here, and every signed file of the
# first build is verified against that certificate. Prints each file's size,
# whether the builds agree and whether each signature verifies; exits 1 when
# any file differs or does not verify. Uncommitted changes are not in the
# clones.
. "$(dirname "$0")/usage.sh"
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${TESSALY_JOBS:-2}
bash "$root/tools/setup.sh" || exit 2
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-release-check.XXXXXX")
if [ -z "${TESSALY_SIGN_PFX:-}" ]; then
    echo "== signing with a throwaway certificate"
    bash "$root/tools/release/make-test-certificate.sh" "$work" "/C=GB/O=Quenbridge/CN=Quenbridge Release Check" ||
        exit 2
    export TESSALY_SIGN_PFX=$work/certificate.pfx TESSALY_SIGN_PASSWORD_FILE=$work/password
else
    openssl pkcs12 -in "$TESSALY_SIGN_PFX" -passin "file:${TESSALY_SIGN_PASSWORD_FILE:-/dev/null}" -nokeys -clcerts \
        -out "$work/certificate.pem" || exit 2
fi

folders=("$work/a" "$work/second/clone of tessaly")
for clone in "${folders[@]}"; do
    echo "== building the release files in $clone"
    mkdir -p "$(dirname "$clone")"
    git clone -q "$root" "$clone" || exit 2
    build=$clone/build/release
    if ! { cmake -S "$clone" -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
            -DCMAKE_BUILD_TYPE=Release -DTESSALY_BUILD_TESTS=OFF &&
            cmake --build "$build" --target tessaly_release -j "$jobs"; } >"$clone.log" 2>&1; then
        tail -n 30 "$clone.log"
        exit 2
    fi
    sed -n 's/^  \(.*: [0-9]* bytes.*\)$/   \1/p' "$clone.log"
done

first=${folders[0]}/build/release/release second=${folders[1]}/build/release/release
# Every file of a release folder, the ARM64 ones in arm64/ too, by its name in it.
files_of() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }
status=0
echo "== comparing"
for name in $(files_of "$first"); do
    file=$first/$name
    if cmp -s "$file" "$second/$name"; then
        echo "same      $name ($(stat -c %s "$file") bytes, sha256 $(sha256sum "$file" | cut -c1-16)...)"
    else
        echo "DIFFERENT $name: $(cmp -l "$file" "$second/$name" 2>&1 | wc -l) bytes differ"
        status=1
    fi
done
[ "$(files_of "$first")" = "$(files_of "$second")" ] || { echo "the two folders hold different files"; status=1; }
echo "== verifying the signatures"
for name in $(files_of "$first" | grep -E '\.(dll|exe|msi|msix)$'); do
    file=$first/$name
    if osslsigncode verify -CAfile "$work/certificate.pem" -in "$file" >"$work/verify.log" 2>&1 &&
        ! grep -qi warning "$work/verify.log"; then
        echo "verified  $name ($(sed -n 's/^[[:space:]]*Subject: //p' "$work/verify.log" | head -n 1))"
    else
        echo "FAILED    $name: $(grep -i 'warning\|error\|fail' "$work/verify.log" | head -n 2 | tr '\n' ' ')"
        status=1
    fi
done
if [ $status -eq 0 ]; then
    echo "check-release: the two builds are byte-identical and every signature verifies"
    rm -rf "$work"
else
    echo "check-release: the builds differ or a signature does not verify; both are kept in $work"
fi
exit $status
