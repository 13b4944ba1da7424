#!/bin/bash
# The main job in one command, on a Debian machine with no display needed:
#   bash tools/demo.sh [FOLDER]
# Installs what it needs, builds the release files (the DLL, the installer and
# the shell host), installs Tessaly with msiexec into a Wine prefix of its own
# (kept for the next run), prints the Tessaly submenu of a right-click on
# FOLDER's background as a user reads it, and writes pictures of the open
# submenu and of each options page. Without FOLDER it makes a sample folder
# whose files were touched today, yesterday, earlier this week, last week,
# last month and last year. Everything lands under build/demo (or
# TESSALY_DEMO_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
demo=${TESSALY_DEMO_DIR:-$root/build/demo}
build=$root/build/release
product_code="{DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}"
mkdir -p "$demo"

step() { echo "== $*"; }
# A Linux path as Wine's programs see it: the Linux root is drive Z:.
windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }

step "installing what the demo needs"
bash tools/setup.sh --demo

step "building the release files"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DTESSALY_BUILD_TESTS=OFF >"$demo/configure.log" 2>&1 || { cat "$demo/configure.log"; exit 1; }
cmake --build "$build" --target tessaly_release -j2 >"$demo/build.log" 2>&1 ||
    { grep -E -A5 "error|Error" "$demo/build.log" | head -n 60; exit 1; }
release=$build/release
echo "release files in $release: $(cd "$release" && echo *)"

export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX=$demo/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml,winedbg.exe=d"
unset DISPLAY  # the pictures get a display of their own
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/.ready" ]; then
    step "making the Wine prefix $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    wine64 wineboot --init >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ready"
fi

installed="$WINEPREFIX/drive_c/Program Files/Quenbridge/Tessaly/Tessaly64_10000.dll"
if [ -f "$installed" ] && cmp -s "$installed" "$release/Tessaly64_10000.dll"; then
    step "Tessaly is installed already"
else
    if [ -f "$installed" ]; then
        step "removing the earlier build: msiexec /x $product_code /qn"
        wine64 msiexec /x "$product_code" /qn
    fi
    step "installing: msiexec /i tessaly.msi /qn"
    wine64 msiexec /i "$(windows_path "$release/tessaly.msi")" /qn
    [ -f "$installed" ] || { echo "demo: the installer left no $installed" >&2; exit 1; }
fi

folder=${1:-}
if [ -z "$folder" ]; then
    folder=$demo/sample
    step "making the sample folder $folder"
    rm -rf "$folder"
    mkdir -p "$folder"
    # name, then how long ago it was accessed and modified
    weekday=$(date +%u)  # 1 is Monday
    this_week=$(( weekday > 2 ? weekday - 1 : 2 ))
    while IFS='|' read -r name accessed modified; do
        printf 'sample\n' >"$folder/$name"
        touch -a -d "$accessed" "$folder/$name"
        touch -m -d "$modified" "$folder/$name"
    done <<LIST
notes.txt|1 hour ago|2 hours ago
budget.xlsx|1 day ago|1 day ago 3 hours ago
R&D 100%.txt|3 hours ago|$this_week days ago
draft.docx|$this_week days ago|20 minutes ago
slides.pptx|8 days ago|9 days ago
photo.jpg|35 days ago|33 days ago
archive.zip|400 days ago|420 days ago
LIST
fi
[ -d "$folder" ] || { echo "demo: no folder $folder" >&2; exit 1; }
shell_host=$release/tessaly-shell.exe
windows_folder=$(windows_path "$folder")

step "right-click on the background of $windows_folder: the Tessaly submenu"
# The host's notes on each handler go to its error output: shown only when it fails.
if ! wine64 "$shell_host" --texts --submenu Tessaly "$windows_folder" 2>"$demo/host.log" | tr -d '\r'; then
    cat "$demo/host.log" >&2
    exit 1
fi
step "right-click on the icon of $windows_folder: the same folder's submenu"
if ! wine64 "$shell_host" --folder --texts --submenu Tessaly "$windows_folder" 2>"$demo/host.log" | tr -d '\r'; then
    cat "$demo/host.log" >&2
    exit 1
fi

step "taking pictures"
# Wine's desktop process of a session started without a display cannot show
# windows: end that session, so the pictures start one on their display.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
pictures=$demo/pictures
mkdir -p "$pictures"
bash tools/with-xvfb.sh bash tools/demo-pictures.sh "$shell_host" "$windows_folder" "$pictures"
echo "pictures in $pictures:"
ls -1 "$pictures"
