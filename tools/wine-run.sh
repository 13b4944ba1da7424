#!/bin/bash
# Runs one Windows program under 64-bit Wine, the way ctest runs every Windows
# test: each run gets its own throwaway prefix, copied from one template that is
# made once per machine, so runs cannot see each other's registry or files.
# Wine's debugger is disabled, so a crash ends the program with a failing status
# instead of a debugger session that may exit 0. Wine's own fixme/err/warn noise
# is kept out of the output; debugger-output lines of the program are kept when
# TESSALY_WINE_DEBUG_OUTPUT=1.
#   bash tools/wine-run.sh PROGRAM.exe [ARGUMENT...]
. "$(dirname "$0")/usage.sh"
set -u
# The folder of Wine's loader and server: Debian's (amd64) unless a caller
# names another Wine (tools/arm64-wine.sh).
wine_bin=${TESSALY_WINE_BIN:-/usr/lib/wine}
export PATH="$wine_bin:$PATH"

template_root=${TESSALY_WINE_TEMPLATE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tessaly/wine-template}
template="$template_root/prefix"
mkdir -p "$template_root"

common_env() {
    export WINEDEBUG=${1:--all}
    export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml,winedbg.exe=d"
}

# A template made before Wine's 32-bit side was installed cannot run 32-bit
# programs: it is made again once that side is there.
template_usable() {
    [ -f "$template/.ready" ] || return 1
    [ ! -x "$wine_bin/wine" ] || [ -f "$template/drive_c/windows/syswow64/kernel32.dll" ]
}

(
    flock 9
    if ! template_usable; then
        rm -rf "$template"
        common_env
        WINEPREFIX="$template" wine64 wineboot --init >/dev/null 2>&1
        WINEPREFIX="$template" wineserver -w
        touch "$template/.ready"
    fi
) 9>"$template_root/.lock"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-wine.XXXXXX")
cleanup() {
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT

# Hard links are enough for the read-only bulk; the registry hives are
# rewritten in place by Wine, so they must be real copies.
cp -al "$template/." "$prefix/"
for hive in system.reg user.reg userdef.reg; do
    rm -f "$prefix/$hive"
    cp "$template/$hive" "$prefix/$hive"
done
# Wine draws every menu without a theme, copying a check-mark bitmap as it
# is, even with its own theme on: with the theme off, a program sees its
# menus as Wine draws them (a test turns it on where it asks for a theme).
sed -i 's/^"ThemeActive"="1"/"ThemeActive"="0"/' "$prefix/user.reg"

if [ "${TESSALY_WINE_DEBUG_OUTPUT:-0}" = 1 ]; then
    common_env "-all,warn+seh"
else
    common_env
fi
export WINEPREFIX="$prefix"

# Only the program's own output: drop Wine's diagnostics and the CR of CRLF.
# What was dropped and what the program printed are kept aside, so that a
# run which fails without a word can say what Wine said.
dropped="$prefix.dropped"
printed="$prefix.printed"
trap 'cleanup; rm -f "$dropped" "$printed"' EXIT
started=$SECONDS
wine64 "$@" 2> >(sed -u -E "/OutputDebugString/b; /^([0-9a-f]{4}:)?(fixme|err|warn|trace):/{w $dropped
d}" >&2) \
    | tr -d '\r' | tee "$printed"
status=${PIPESTATUS[0]}
wait 2>/dev/null  # the filter of the error output, to its end
if [ "$status" -ne 0 ] && [ ! -s "$printed" ]; then
    echo "wine-run: $(basename "$1") ended with status $status after $((SECONDS - started)) s without printing anything" >&2
    [ "$status" -le 128 ] || echo "wine-run: status $status is signal $((status - 128)) (9: killed, as by the kernel when memory runs out)" >&2
    if [ -s "$dropped" ]; then
        echo "wine-run: Wine's last diagnostics:" >&2
        tail -n 20 "$dropped" >&2
    fi
fi
exit "$status"
