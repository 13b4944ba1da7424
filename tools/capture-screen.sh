#!/bin/bash
# Writes what the display ($DISPLAY) shows to a PNG file, cut to its windows:
#   bash tools/capture-screen.sh OUT.png
# The picture is the smallest rectangle holding every shown top-level window
# (the program's window and its open menus, or a dialog), exactly, so it has
# no margin outside them; what no window covers within it is white. Wine
# draws its menus in override-redirect windows,
# which a capture of the root window shows as black boxes: each such window
# is captured on its own and laid over the others at its place.
. "$(dirname "$0")/usage.sh"
set -euo pipefail
out=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-capture.XXXXXX")
trap 'rm -rf "$work"' EXIT

geometry() {  # x y width height of a window's xwininfo
    sed -n -E 's/.*Absolute upper-left X: +(-?[0-9]+).*/\1/p; s/.*Absolute upper-left Y: +(-?[0-9]+).*/\1/p;
               s/.*Width: +([0-9]+).*/\1/p; s/.*Height: +([0-9]+).*/\1/p' <<<"$1" | tr '\n' ' '
}

xwd -root -silent | convert xwd:- "$work/root.png"
read -r screen_w screen_h <<<"$(identify -format "%w %h" "$work/root.png")"
left=$screen_w top=$screen_h right=0 bottom=0
layers=()
# xwininfo lists the top-level windows topmost first; they are laid on
# bottom first, so that a window hides what it covers of those below (whose
# own capture shows that covered part black). Wine's helper windows of one
# pixel are no part of the picture.
for id in $(xwininfo -root -children | sed -n -E 's/^ +(0x[0-9a-f]+) .*/\1/p' | tac); do
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    grep -q "Map State: IsViewable" <<<"$info" || continue
    read -r x y w h <<<"$(geometry "$info")"
    [ "$w" -gt 1 ] && [ "$h" -gt 1 ] || continue
    # Clipped to the screen.
    x0=$((x > 0 ? x : 0)) y0=$((y > 0 ? y : 0))
    x1=$((x + w < screen_w ? x + w : screen_w)) y1=$((y + h < screen_h ? y + h : screen_h))
    left=$((x0 < left ? x0 : left)) top=$((y0 < top ? y0 : top))
    right=$((x1 > right ? x1 : right)) bottom=$((y1 > bottom ? y1 : bottom))
    if ! grep -q "Override Redirect State: yes" <<<"$info"; then
        layers+=("(" "$work/root.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage ")"
                 -geometry "+$x0+$y0" -composite)
        continue
    fi
    layer="$work/layer-${#layers[@]}.png"
    xwd -id "$id" -silent 2>/dev/null | convert xwd:- "$layer" 2>/dev/null || continue
    layers+=("$layer" -geometry "+$x+$y" -composite)
done
args=(-size "${screen_w}x${screen_h}" xc:white "${layers[@]}")
if [ "$right" -gt "$left" ] && [ "$bottom" -gt "$top" ]; then
    args+=(-crop "$((right - left))x$((bottom - top))+$left+$top" +repage)
fi
convert "${args[@]}" "$out"
