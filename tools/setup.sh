#!/bin/bash
# Installs what building and testing Tessaly needs on a Debian machine.
# Quiet and quick when everything is there already.
#   bash tools/setup.sh [--demo]
# --demo adds what tools/demo.sh needs to take pictures of the windows.
set -euo pipefail

packages=(cmake make g++ googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 xvfb
    imagemagick)  # imagemagick: tools/options-screenshots.sh
# The installer: wixl builds it, msitools reads it back for the build's check
# and sets what wixl cannot; faketime gives wixl the sources' time, so two
# builds of one commit give the same package.
packages+=(wixl msitools faketime)
if [ "${1:-}" = --demo ]; then
    # Pictures of the windows, and fonts for Chinese and symbol file names.
    packages+=(x11-apps x11-utils fonts-dejavu-core fonts-wqy-microhei fonts-symbola)
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >/dev/null
fi
