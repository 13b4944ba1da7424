# The environment that runs 64-bit ARM Windows programs with the Wine root of
# tools/setup-arm64.sh (sourced by tools/arm64-wine.sh and tools/demo.sh):
# Debian's arm64 Wine under qemu, its loader and server started through the
# root's scripts. Fails when there is no root yet.
. "$(dirname "${BASH_SOURCE[0]}")/../cmake/zig/env.sh"
arm64_wine_root=$TESSALY_ARM64_CACHE/wine-root
if [ ! -f "$arm64_wine_root/.ready" ]; then
    echo "no ARM64 Wine in $arm64_wine_root (bash tools/setup-arm64.sh makes it)" >&2
    return 2
fi
export TESSALY_WINE_BIN=$arm64_wine_root/usr/lib/wine
export PATH="$TESSALY_WINE_BIN:$PATH"
export WINESERVER=$TESSALY_WINE_BIN/wineserver
# The loader must not start itself again outside qemu.
export WINELOADERNOEXEC=1
