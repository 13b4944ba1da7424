#!/bin/bash
# Runs a command with a display of its own: starts a private Xvfb on a free
# display number, points DISPLAY at it, runs the command and stops that Xvfb
# again (only the one it started). Tests that open real windows run through
# this, so several can run at once and none needs a desktop.
#   bash tools/with-xvfb.sh COMMAND [ARGUMENT...]
. "$(dirname "$0")/usage.sh"
set -u
display_file=$(mktemp "${TMPDIR:-/tmp}/tessaly-xvfb.XXXXXX")
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
stop_xvfb() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -f "$display_file"
}
trap stop_xvfb EXIT

# Xvfb writes its display number once it accepts clients; on a busy machine
# (a build beside the tests) that can take several seconds.
for _ in $(seq 1 300); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 2; }
    sleep 0.1
done
[ -s "$display_file" ] || { echo "with-xvfb: no display after 30 s" >&2; exit 2; }
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
"$@"
