#!/bin/bash
# Writes what the display ($DISPLAY) shows to a PNG file:
#   bash tools/capture-screen.sh OUT.png [WIDTHxHEIGHT | --window TITLE]
# Wine draws its menus in override-redirect windows, which a capture of the
# root window shows as black boxes; each such window is captured on its own
# and laid over the root image at its place. With a size, the picture is cut
# to that area from the top left; with --window, to the window of that title
# (and a small margin).
set -euo pipefail
out=$1 crop=${2:-}
if [ "$crop" = --window ]; then
    info=$(xwininfo -name "$3")
    x=$(sed -n -E 's/.*Absolute upper-left X: +(-?[0-9]+).*/\1/p' <<<"$info")
    y=$(sed -n -E 's/.*Absolute upper-left Y: +(-?[0-9]+).*/\1/p' <<<"$info")
    w=$(sed -n -E 's/.*Width: +([0-9]+).*/\1/p' <<<"$info")
    h=$(sed -n -E 's/.*Height: +([0-9]+).*/\1/p' <<<"$info")
    margin=8
    x=$((x > margin ? x - margin : 0)) y=$((y > margin ? y - margin : 0))
    crop_area="$((w + 2 * margin))x$((h + 2 * margin))+$x+$y"
elif [ -n "$crop" ]; then
    crop_area="$crop+0+0"
else
    crop_area=""
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-capture.XXXXXX")
trap 'rm -rf "$work"' EXIT

xwd -root -silent | convert xwd:- "$work/root.png"
layers=()
# xwininfo lists the top-level windows topmost first; they are laid on
# bottom first, so that a window hides what it covers of those below (whose
# own capture shows that covered part black).
for id in $(xwininfo -root -children | sed -n -E 's/^ +(0x[0-9a-f]+) .*/\1/p' | tac); do
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    grep -q "Map State: IsViewable" <<<"$info" || continue
    grep -q "Override Redirect State: yes" <<<"$info" || continue
    x=$(sed -n -E 's/.*Absolute upper-left X: +(-?[0-9]+).*/\1/p' <<<"$info")
    y=$(sed -n -E 's/.*Absolute upper-left Y: +(-?[0-9]+).*/\1/p' <<<"$info")
    layer="$work/layer-${#layers[@]}.png"
    xwd -id "$id" -silent 2>/dev/null | convert xwd:- "$layer" 2>/dev/null || continue
    layers+=("$layer" -geometry "+$x+$y" -composite)
done
args=("$work/root.png" "${layers[@]}")
[ -n "$crop_area" ] && args+=(-crop "$crop_area" +repage)
convert "${args[@]}" "$out"
