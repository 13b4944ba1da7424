#!/bin/bash
# Takes the demo's pictures on the display it is given ($DISPLAY; tools/demo.sh
# runs it under tools/with-xvfb.sh): the menu of a right-click on a folder's
# background with the Tessaly submenu open, at 100, 150 and 200 % (Wine's
# display scale, LogPixels), each page of the options sheet, each picture cut
# to its windows, and sheets of the menus' pictures on every menu they are shown on.
#   bash tools/demo-pictures.sh SHELL_HOST WINDOWS_FOLDER OUT_DIR ICON_FOLDER
# ICON_FOLDER holds the icons the DLL carries (resources/menu-icons).
# Wine's prefix and settings come from the environment. Every wait has a limit.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
shell_host=$1 folder=$2 out_dir=$3 icons=$4
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp "${TMPDIR:-/tmp}/tessaly-demo.XXXXXX")

# Waits until the host's output holds a line matching $1 (up to 60 s).
wait_for() {
    for _ in $(seq 600); do
        grep -q -E "$1" "$log" && return 0
        sleep 0.1
    done
    echo "demo-pictures: gave up waiting for \"$1\"" >&2
    cat "$log" >&2
    return 1
}

# Each scale is read when a program starts: the host is started again for each.
set_scale() { wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
show_menu() {  # picture, then the host's switches: the menu shown for a while, captured
    : >"$log"
    wine64 "$shell_host" --texts "${@:2}" --show 8 "$folder" >"$log" 2>&1 &
    host=$!
    wait_for "^menu shown" && sleep 3 && bash "$here/capture-screen.sh" "$1"
    # Where the first menu lies (the only window Wine draws unmanaged here).
    entry=$(xwininfo -root -children | sed -n -E 's/^ +(0x[0-9a-f]+) .*/\1/p' | while read -r id; do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q "IsViewable" <<<"$info" && grep -q "Override Redirect State: yes" <<<"$info" || continue
        sed -n -E 's/.*Absolute upper-left X: +(-?[0-9]+).*/\1/p; s/.*Absolute upper-left Y: +(-?[0-9]+).*/\1/p;
                   s/.*Width: +([0-9]+).*/\1/p; s/.*Height: +([0-9]+).*/\1/p' <<<"$info" | tr '\n' ' '
        echo
    done | tail -n 1)
    wait "$host" || true
}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-demo-menus.XXXXXX")
trap 'rm -f "$log"; rm -rf "$work"' EXIT
for scale in 100 150 200; do
    set_scale $((96 * scale / 100))
    name=menu.png
    [ "$scale" = 100 ] || name=menu-$scale.png
    show_menu "$out_dir/$name" --submenu Tessaly
    [ "$scale" != 100 ] || continue
    # Above 100 % Wine leaves the first menu black once a submenu opens
    # (nothing is drawn into its window): it is taken alone, submenu
    # closed, and laid over that place.
    show_menu "$work/entry.png"
    read -r x y w h <<<"$entry"
    [ -n "${h:-}" ] && convert "$out_dir/$name" \( "$work/entry.png" -crop "${w}x${h}+$x+$y" \) \
        -geometry "+$x+$y" -composite "$out_dir/$name"
done
set_scale 96

: >"$log"
wine64 "$shell_host" --texts --invoke "Options..." --dialogs 2 "$folder" >"$log" 2>&1 &
host=$!
for page in 1 2 3; do
    wait_for "^page $page of" || break
    sleep 0.3
    title=$(sed -n -E "s/^page $page of [0-9]+ \"(.*)\"\r?$/\1/p" "$log" | tr -cd 'A-Za-z0-9 ' | tr 'A-Z ' 'a-z-')
    bash "$here/capture-screen.sh" "$out_dir/options-${title:-page$page}.png"
done
wait "$host" || true

# The menus' pictures as each menu shows them, drawn for each size, on every
# menu they are shown on (tools/pictures/surfaces.py), on the menu's colour
# and on its highlight: the classic menu's at the check-mark sizes of 100 to
# 300 %, Windows 11's at its icon sizes. A menu without a theme (the classic
# look, high contrast) shows the classic pictures' ink in its text colours.
# Wine draws no themed menus, so this is composed from the icons the DLL
# carries, at twice their size (each pixel a 2 x 2 square) to be looked at.
image_of() {  # picture, size: that image, of the icon with $suffix or of the ink in $ink
    local index
    if [ -n "$ink" ]; then
        echo "$ink/$1-$2.png"
        return
    fi
    index=$(identify "$icons/$1$suffix.ico" |
        awk -v size="$2" '$3 == size "x" size { sub(/.*\[/, "", $1); sub(/\].*/, "", $1); print $1 }')
    echo "$icons/$1$suffix.ico[$index]"
}
inks_in() {  # colour: a folder of each classic picture's ink in that colour, NAME-SIZE.png
    local folder=$work/ink-${1#\#}
    mkdir -p "$folder"
    python3 -c "import os, sys
sys.path.insert(0, sys.argv[1])
import drawing, surfaces
icons, colour, folder = sys.argv[2:]
for name in ('entry', 'options', 'modified', 'accessed'):
    for size, rows in drawing.read_icon(os.path.join(icons, name + '.ico')).items():
        with open(os.path.join(folder, '%s-%d.png' % (name, size)), 'wb') as f:
            f.write(drawing.png(surfaces.monochrome(rows, surfaces.rgb(colour))))" \
        "$here/pictures" "$icons" "$1" "$folder"
    echo "$folder"
}
rows_of() {  # background, sizes, pictures...: one row per picture, into rows
    local background=$1 sizes=$2 picture size
    shift 2
    rows=()
    for picture in "$@"; do
        rows+=("(")
        for size in $sizes; do rows+=("$(image_of "$picture" "$size")"); done
        rows+=(-background "$background" -gravity center -bordercolor "$background" -border 4 +append
               -filter point -resize 200% ")")
    done
}
panel() {  # out file, name, menu colour, highlight, suffix ("" or -dark), text colour[, ink on menu, on highlight]
    local rows classic colour where label first
    local parts=(-font DejaVu-Sans -pointsize 13)
    suffix=$5
    for colour in "$3" "$4"; do
        where=menu label=$6 ink="" first="Windows 11 menu 16 to 48"
        [ "$colour" = "$3" ] || where=highlight
        if [ -n "${7:-}" ]; then  # without a theme: the ink, in the text colour
            label=$7
            [ "$where" = menu ] || label=$8
            ink=$(inks_in "$label")
        fi
        rows_of "$colour" "15 19 23 27 31 39 47" entry options modified accessed
        classic=("${rows[@]}")
        ink="" rows=()
        # Windows 11's menu is themed: it has no highlight of this colour.
        if [ -z "${7:-}" ] || [ "$where" = menu ]; then
            rows_of "$colour" "16 20 24 32 48" product options modified accessed
        else
            first=""
        fi
        parts+=(\( -background "$colour" -fill "$label"
                label:"$2, $where $colour: classic menu 15 to 47${first:+, $first}" "${classic[@]}" "${rows[@]}"
                -gravity west -append -bordercolor "$colour" -border 8 \))
    done
    convert "${parts[@]}" -background "$3" -append "$1"
}
sheets=()
while IFS='|' read -r name menu highlight set menu_ink highlight_ink; do
    suffix="" text=black
    [ "$set" = light ] || { suffix=-dark; text=white; }
    panel "$work/panel-${#sheets[@]}.png" "$name" "$menu" "$highlight" "$suffix" "$text" "$menu_ink" "$highlight_ink"
    sheets+=("$set:$work/panel-${#sheets[@]}.png")
done < <(python3 -c "import sys; sys.path.insert(0, sys.argv[1])
import surfaces
for name, menu, highlight, chosen, inks in surfaces.SURFACES:
    print('|'.join((name, menu, highlight, chosen) + (inks or ('', ''))))" \
    "$here/pictures")
for set in light dark; do
    out=$out_dir/pictures.png
    [ "$set" = light ] || out=$out_dir/pictures-dark.png
    files=()
    for sheet in "${sheets[@]}"; do [ "${sheet%%:*}" != "$set" ] || files+=("${sheet#*:}"); done
    convert "${files[@]}" -background white -gravity west -append "$out"
done
