#!/bin/bash
# Runs a command with a display of its own: starts Xvfb on a free display
# number, exports DISPLAY, runs the command and stops that Xvfb afterwards.
#   bash tools/with-xvfb.sh COMMAND [ARGUMENTS...]
# The command's exit status is the script's. Gives up after 10 s when Xvfb
# does not come up.
set -u
size=${TESSALY_XVFB_SCREEN:-1024x768x24}
fifo=$(mktemp -u "${TMPDIR:-/tmp}/tessaly-xvfb.XXXXXX")
mkfifo "$fifo"
exec 8<>"$fifo"
rm -f "$fifo"
Xvfb -displayfd 8 -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
stop() { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }
trap stop EXIT
if ! read -r -t 10 number <&8; then
    echo "with-xvfb: Xvfb did not start" >&2
    exit 1
fi
exec 8>&-
export DISPLAY=":$number"
"$@"
