#!/bin/bash
# The main job in one command, on a Debian machine with no display needed.
# Run with --help for what it does.
set -euo pipefail

usage() {
    cat <<'TEXT'
usage: bash tools/demo.sh [FOLDER]
       bash tools/demo.sh --help

Installs what it needs (Debian packages), builds the release files (the DLL
and its 32-bit companion, the installer and the shell host of each bitness,
and the same for Windows on ARM), installs Tessaly with msiexec into a Wine
prefix of its own (kept for the next run), prints the Tessaly submenu of a
right-click on the folder's background as a user reads it, once as a 64-bit
program (the file manager) and once as a 32-bit program (the Open and Save
dialogs of 32-bit applications) gets it, then the same as Windows 11's
first menu shows it (the Tessaly command and its subcommands), then installs
the ARM64 installer into a prefix of Debian's arm64 Wine, emulated by qemu,
and prints the submenu the ARM64 file manager gets from the ARM64 DLL, and
takes pictures of the open submenu at 100, 150 and 200 % display scale, of
each page of the options sheet, and of the menus' pictures on a light and a
dark menu.

FOLDER is a folder of yours (relative to the current folder, or absolute).
Without it the demo makes a sample folder, C:\users\Public\Documents\Sample
in its Wine prefix, whose files were touched today, yesterday, earlier this
week, last week, last month and last year, some with Chinese and emoji
names.

Everything lands under build/demo of the repository (or $TESSALY_DEMO_DIR):
the build's log, the Wine prefix, and the pictures, in pictures/sample/ for
the sample folder and in pictures/<the folder's path>/ for a folder of yours,
so that one run does not overwrite another's.
TEXT
}

folder=""
for argument in "$@"; do
    case $argument in
        -h | --help) usage; exit 0 ;;
        -*) echo "demo: unknown option $argument" >&2; usage >&2; exit 2 ;;
        *)
            [ -z "$folder" ] || { echo "demo: one FOLDER at most" >&2; usage >&2; exit 2; }
            folder=$argument ;;
    esac
done
# The folder is checked, and made absolute against the caller's current
# folder, before anything is built.
if [ -n "$folder" ]; then
    [ -e "$folder" ] || { echo "demo: there is no folder $folder" >&2; exit 2; }
    [ -d "$folder" ] || { echo "demo: $folder is a file, not a folder" >&2; exit 2; }
    folder=$(cd "$folder" && pwd -P)
fi

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
demo=${TESSALY_DEMO_DIR:-$root/build/demo}
build=$root/build/release
product_code="{DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}"
mkdir -p "$demo"

step() { echo "== $*"; }
# A Linux path as Wine's programs see it: the Linux root is drive Z:.
windows_path() { echo "Z:${1//\//\\}"; }

step "installing what the demo needs"
bash tools/setup.sh --demo

log=$demo/build.log
step "building the release files (log: $log)"
# The build's own progress, a line for every tenth of it (the installer's
# generator is built on the side, with a count of its own), and the release
# step's sizes.
show_progress() {
    awk '/^\[ *[0-9]+%\]/ {
             match($0, /[0-9]+/); done = substr($0, RSTART, RLENGTH) + 0
             if (done < last) next_mark = 0
             last = done
             if (done >= next_mark) { print "   " $0; fflush(); next_mark = done - done % 10 + 10 }
         }
         /: [0-9]+ bytes/ { print "   " $0; fflush() }'
}
if ! { cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
        -DTESSALY_BUILD_TESTS=OFF && cmake --build "$build" --target tessaly_release -j2; } 2>&1 |
        tee "$log" | show_progress; then
    grep -E -A5 "error|Error" "$log" | head -n 60
    echo "demo: the build failed; its log is $log" >&2
    exit 1
fi
release=$build/release
echo "release files in $release: $(cd "$release" && echo *)"

export PATH="/usr/lib/wine:$PATH"
export WINEPREFIX=$demo/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml,winedbg.exe=d"
unset DISPLAY  # the pictures get a display of their own
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# A prefix made before Wine's 32-bit side was installed cannot run 32-bit
# programs: it is made again.
if [ ! -f "$WINEPREFIX/.ready" ] || [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    step "making the Wine prefix $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    wine64 wineboot --init >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.ready"
fi
# Wine draws every menu without a theme, even with its own theme on: with the
# theme off, Tessaly sees its menus as Wine draws them.
wine64 reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ /d 0 \
    /f >/dev/null
# Wine draws dialog and menu text in DejaVu Sans here (it has no Tahoma);
# what that font lacks, Chinese and symbols, comes from the fonts that
# setup installed.
wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "DejaVu Sans" \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei\0Symbola_hint.ttf,Symbola' /f >/dev/null

installed="$WINEPREFIX/drive_c/Program Files/Quenbridge/Tessaly/Tessaly64_10000.dll"
installed32="$WINEPREFIX/drive_c/Program Files (x86)/Quenbridge/Tessaly/Tessaly32_10000.dll"
if cmp -s "$installed" "$release/Tessaly64_10000.dll" && cmp -s "$installed32" "$release/Tessaly32_10000.dll"; then
    step "Tessaly is installed already"
else
    # Another build of the same version: an update in place would keep the
    # installed file of that version, so the earlier build goes first.
    if [ -f "$installed" ] || [ -f "$installed32" ]; then
        step "removing the earlier build: msiexec /x $product_code /qn"
        wine64 msiexec /x "$product_code" /qn
    fi
    step "installing: msiexec /i tessaly.msi /qn"
    wine64 msiexec /i "$(windows_path "$release/tessaly.msi")" /qn
fi
for dll in "$installed" "$installed32"; do
    cmp -s "$dll" "$release/$(basename "$dll")" || { echo "demo: the installer left no $dll" >&2; exit 1; }
done

if [ -z "$folder" ]; then
    windows_folder='C:\users\Public\Documents\Sample'
    folder="$WINEPREFIX/drive_c/users/Public/Documents/Sample"
    pictures=$demo/pictures/sample
    step "making the sample folder $windows_folder"
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
会议记录.docx|2 hours ago|5 hours ago
R&D 100%.txt|3 hours ago|$this_week days ago
draft.docx|$this_week days ago|20 minutes ago
☕ break plan.txt|4 days ago|4 days ago
slides.pptx|8 days ago|9 days ago
photo.jpg|35 days ago|33 days ago
archive.zip|400 days ago|420 days ago
LIST
else
    windows_folder=$(windows_path "$folder")
    # One picture folder per folder: its path with "-" for "/".
    name=${folder#/}
    pictures=$demo/pictures/${name//\//-}
fi
shell_host=$release/tessaly-shell.exe

# The host's notes on each handler go to its error output: shown only when it fails.
# A 64-bit program (the file manager) gets the 64-bit DLL's menu, a 32-bit
# one (an Open dialog of a 32-bit application) the 32-bit DLL's.
print_menu() {  # the host, what was clicked, then the host's click switch (none: the background)
    step "right-click on $2 in a $([ "$1" = tessaly-shell32.exe ] && echo 32 || echo 64)-bit program ($1): the Tessaly submenu"
    if ! wine64 "$release/$1" "${@:3}" --texts --submenu Tessaly "$windows_folder" 2>"$demo/host.log" |
        tr -d '\r'; then
        cat "$demo/host.log" >&2
        exit 1
    fi
}
print_menu tessaly-shell.exe "the background of $windows_folder"
print_menu tessaly-shell.exe "the icon of $windows_folder" --folder
print_menu tessaly-shell32.exe "the background of $windows_folder"

# Windows 11's first menu asks the Explorer command that the package declares
# (no package can be registered here: the host creates it from the DLL).
print_command() {  # the host, the installed DLL, what was clicked, then the host's click switch
    step "right-click on $3 in Windows 11's first menu, as a $([ "$1" = tessaly-shell32.exe ] && echo 32 || echo 64)-bit program: the Tessaly command"
    if ! wine64 "$release/$1" --command --dll "$2" "${@:4}" --texts "$windows_folder" 2>"$demo/host.log" |
        tr -d '\r'; then
        cat "$demo/host.log" >&2
        exit 1
    fi
}
print_command tessaly-shell.exe 'C:\Program Files\Quenbridge\Tessaly\Tessaly64_10000.dll' \
    "the background of $windows_folder"
print_command tessaly-shell.exe 'C:\Program Files\Quenbridge\Tessaly\Tessaly64_10000.dll' \
    "the icon of $windows_folder" --folder
print_command tessaly-shell32.exe 'C:\Program Files (x86)\Quenbridge\Tessaly\Tessaly32_10000.dll' \
    "the background of $windows_folder"

# Windows on ARM: the ARM64 installer into a prefix of Debian's arm64 Wine,
# emulated by qemu (tools/setup-arm64.sh made it), and the submenu that the
# ARM64 file manager gets from the ARM64 DLL, asked by the ARM64 shell host.
(
    . tools/arm64-wine-env.sh
    export WINEPREFIX=$demo/prefix-arm64
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        step "making the ARM64 Wine prefix $WINEPREFIX (once)"
        rm -rf "$WINEPREFIX"
        wine64 wineboot --init >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.ready"
    fi
    installed=$(find "$WINEPREFIX/drive_c" -name Tessaly64_10000.dll -print -quit)
    if ! cmp -s "$installed" "$release/arm64/Tessaly64_10000.dll"; then
        [ -z "$installed" ] || wine64 msiexec /x "$product_code" /qn
        step "Windows on ARM: msiexec /i arm64\tessaly.msi /qn (ARM64 Wine's installer)"
        wine64 msiexec /i "$(windows_path "$release/arm64/tessaly.msi")" /qn
        installed=$(find "$WINEPREFIX/drive_c" -name Tessaly64_10000.dll -print -quit)
        cmp -s "$installed" "$release/arm64/Tessaly64_10000.dll" ||
            { echo "demo: the ARM64 installer left no ARM64 DLL" >&2; exit 1; }
    fi
    # Wine 8's installer sets no program folders for an Arm64 package, so
    # its files land in the drive's root; Windows puts them in Program Files.
    installed=${installed#"$WINEPREFIX/drive_c/"}
    echo "the ARM64 DLL as installed: C:\\${installed//\//\\}"
    if [[ $windows_folder == C:* ]]; then
        # The sample folder, with its files' times, in this prefix too.
        mkdir -p "$WINEPREFIX/drive_c/users/Public/Documents"
        rm -rf "$WINEPREFIX/drive_c/users/Public/Documents/Sample"
        cp -a "$folder" "$WINEPREFIX/drive_c/users/Public/Documents/Sample"
    fi
    step "right-click on the background of $windows_folder on Windows on ARM (arm64\tessaly-shell.exe): the Tessaly submenu"
    if ! wine64 "$release/arm64/tessaly-shell.exe" --texts --submenu Tessaly "$windows_folder" \
        2>"$demo/host.log" | tr -d '\r'; then
        cat "$demo/host.log" >&2
        exit 1
    fi
)

step "taking pictures"
# Wine's desktop process of a session started without a display cannot show
# windows: end that session, so the pictures start one on their display.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
mkdir -p "$pictures"
bash tools/with-xvfb.sh bash tools/demo-pictures.sh "$shell_host" "$windows_folder" "$pictures" \
    resources/menu-icons
echo "pictures in $pictures:"
ls -1 "$pictures"
