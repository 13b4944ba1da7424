#!/bin/bash
# Takes the demo's pictures on the display it is given ($DISPLAY; tools/demo.sh
# runs it under tools/with-xvfb.sh): the menu of a right-click on a folder's
# background with the Tessaly submenu open, and each page of the options
# sheet, each picture cut to its windows.
#   bash tools/demo-pictures.sh SHELL_HOST WINDOWS_FOLDER OUT_DIR
# Wine's prefix and settings come from the environment. Every wait has a limit.
set -euo pipefail
shell_host=$1 folder=$2 out_dir=$3
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp "${TMPDIR:-/tmp}/tessaly-demo.XXXXXX")
trap 'rm -f "$log"' EXIT

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

: >"$log"
wine64 "$shell_host" --texts --submenu Tessaly --show 2 "$folder" >"$log" 2>&1 &
host=$!
wait_for "^menu shown" && sleep 0.5 && bash "$here/capture-screen.sh" "$out_dir/menu.png"
wait "$host" || true

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
