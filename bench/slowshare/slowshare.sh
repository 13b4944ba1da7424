#!/bin/bash
# The benchmarks' slow share: a real folder seen through FUSE with a set
# delay on every open and attribute read (slowshare.c, built here into
# build/slowshare/). Used by bench/scan.sh, bench/menu.sh and tools/soak.sh.
#
#   bash bench/slowshare/slowshare.sh check
#       exits 0 when a slow share can be mounted here, else prints why (one
#       line) and exits 1; installs FUSE first (tools/setup.sh --bench) and
#       builds the share's server
#   bash bench/slowshare/slowshare.sh mount SOURCE MOUNTPOINT DELAY_MS
#       mounts SOURCE read-only at MOUNTPOINT (made if missing) and returns
#       once the mount is there; the fixture runs on in the background
#   bash bench/slowshare/slowshare.sh unmount MOUNTPOINT
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
server=$here/../../build/slowshare/slowshare

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; }

build_server() {
    [ "$server" -nt "$here/slowshare.c" ] && return 0
    mkdir -p "$(dirname "$server")"
    # shellcheck disable=SC2046  # pkg-config's flags are separate words
    gcc -O2 -Wall -Wextra -o "$server" "$here/slowshare.c" $(pkg-config --cflags --libs fuse3)
}

mount_share() {  # source mountpoint delay
    local source=$1 mountpoint=$2 delay=$3
    mkdir -p "$mountpoint"
    build_server
    setsid "$server" "$source" "$mountpoint" "$delay" >"$mountpoint.log" 2>&1 </dev/null &
    echo $! >"$mountpoint.pid"
    local tries
    for tries in $(seq 100); do
        mountpoint -q "$mountpoint" && return 0
        kill -0 "$(cat "$mountpoint.pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "slow share: could not mount $mountpoint: $(tail -n 1 "$mountpoint.log" 2>/dev/null)" >&2
    unmount_share "$mountpoint"
    return 1
}

unmount_share() {  # mountpoint
    local mountpoint=$1 pid=
    [ -f "$mountpoint.pid" ] && pid=$(cat "$mountpoint.pid")
    mountpoint -q "$mountpoint" && { fusermount3 -u "$mountpoint" 2>/dev/null || umount -l "$mountpoint" 2>/dev/null || true; }
    if [ -n "$pid" ]; then
        local tries
        for tries in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill "$pid" 2>/dev/null || true
    fi
    rm -f "$mountpoint.pid" "$mountpoint.log"
}

check() {
    bash "$here/../../tools/setup.sh" --bench >/dev/null 2>&1 || { echo "the FUSE packages could not be installed"; return 1; }
    [ -e /dev/fuse ] || { echo "this machine has no /dev/fuse"; return 1; }
    build_server || { echo "the share's server could not be built"; return 1; }
    local trial
    trial=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-slowshare-check.XXXXXX")
    mkdir "$trial/source" "$trial/share"
    if ! mount_share "$trial/source" "$trial/share" 0 2>/dev/null; then
        rm -rf "$trial"
        echo "FUSE is not usable here (a trial mount failed)"
        return 1
    fi
    unmount_share "$trial/share"
    rm -rf "$trial"
}

case ${1:-} in
    check) check ;;
    mount) [ $# -eq 4 ] || { usage >&2; exit 2; }; mount_share "$2" "$3" "$4" ;;
    unmount) [ $# -eq 2 ] || { usage >&2; exit 2; }; unmount_share "$2" ;;
    -h | --help) usage ;;
    *) usage >&2; exit 2 ;;
esac
