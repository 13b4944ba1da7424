#!/bin/bash
# Installs what building and testing Tessaly needs on a Debian machine.
# Quiet and quick when everything is there already.
#   bash tools/setup.sh [--demo | --bench]
# --demo adds what tools/demo.sh needs to take pictures of the windows;
# --bench what the benchmarks' slow share needs (FUSE, and its headers to
# build the share's small server).
# Last, tools/setup-arm64.sh fetches the ARM64 build's toolchain and Wine.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
arm64_setup=(bash "$(dirname "$0")/setup-arm64.sh")

packages=(cmake make g++ googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 xvfb)
# The build makes the icons of Windows 11's menu with a Python script.
packages+=(python3)
# The 32-bit companion DLL: its compiler, and Wine's 32-bit side, which runs
# 32-bit programs in the same (64-bit) prefixes, as 64-bit Windows does.
packages+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386)
# The installer: wixl builds it, msitools reads it back for the build's check
# and sets what wixl cannot; faketime gives wixl the sources' time, so two
# builds of one commit give the same package.
packages+=(wixl msitools faketime)
# The release step: signing (osslsigncode, below) and the throwaway
# certificates of the tests (openssl); unzip reads the package back.
packages+=(openssl unzip)
# Microsoft's MSIX SDK reader beside the sources (../shared/tools/msix, where
# there is one) is built for Debian 12 and needs its ICU at run time.
if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
    packages+=(libicu72)
fi
# The ARM64 build: llvm-cvtres for its resources, llvm-objdump and
# llvm-objcopy for its DLL, and the npm client of the registry its toolchain
# comes from (tools/setup-arm64.sh).
packages+=(llvm)
command -v npm >/dev/null || packages+=(npm)
if [ "${1:-}" = --demo ]; then
    # Pictures of the windows, and fonts for Chinese and symbol file names.
    packages+=(x11-apps x11-utils imagemagick fonts-dejavu-core fonts-wqy-microhei fonts-symbola)
fi
[ "${1:-}" = --bench ] && packages+=(fuse3 libfuse3-dev pkgconf gcc)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
# Signing the Windows 11 package needs osslsigncode 2.9 or later (2.9 put an
# APPX's central directory in the order Windows wants); Debian 12 has it in
# bookworm-backports, later releases in their own archive.
signer_version=$(dpkg-query -W -f='${Version}' osslsigncode 2>/dev/null || true)
old_signer=false
if [ -z "$signer_version" ] || dpkg --compare-versions "$signer_version" lt 2.9; then old_signer=true; fi
[ ${#missing[@]} -gt 0 ] || [ "$old_signer" = true ] || exec "${arm64_setup[@]}"

[ ${#missing[@]} -eq 0 ] || echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
# Another installation may hold the package lock for a while: wait for it,
# and try again after a passing failure (a mirror that did not answer).
apt_get() {
    local attempt
    for attempt in 1 2 3; do
        if DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 "$@"; then
            return 0
        fi
        echo "setup: apt-get $1 failed (attempt $attempt), trying again" >&2
        sleep 10
    done
    return 1
}
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
backports=()
if [ "$old_signer" = true ]; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ "$codename" = bookworm ]; then
        echo "deb http://deb.debian.org/debian bookworm-backports main" |
            "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/tessaly-bookworm-backports.list >/dev/null
        backports=(-t bookworm-backports)
    fi
    echo "setup: installing osslsigncode ${backports[*]}"
fi
apt_get update -qq
[ ${#missing[@]} -eq 0 ] || apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
[ "$old_signer" = false ] ||
    apt_get install -y -qq --no-install-recommends "${backports[@]}" osslsigncode >/dev/null
exec "${arm64_setup[@]}"
