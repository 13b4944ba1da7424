#!/bin/bash
# Takes a picture of each page of the options sheet under a private Xvfb and
# saves them as docs/options-settings.png, docs/options-about.png and
# docs/options-uninstall.png. Needs the Windows build (build/windows) and
# ImageMagick. There is no window manager, so the sheet has no frame or caption.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program="$root/build/windows/tests/options/options_screenshots.exe"
[ -x "$program" ] || { echo "options-screenshots: build $program first" >&2; exit 2; }
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export TESSALY_WINE_TEMPLATE="$root/build/windows/wine-template"
bash "$root/tools/with-xvfb.sh" bash "$root/tools/wine-run.sh" "$program" "Z:${shots//\//\\}"
names=(settings about uninstall)
for page in 0 1 2; do
    convert "$shots/page-$page.bmp" "$root/docs/options-${names[$page]}.png"
done
echo "options-screenshots: docs/options-{settings,about,uninstall}.png"
