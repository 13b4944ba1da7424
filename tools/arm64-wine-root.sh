#!/bin/bash
# Makes the root that runs 64-bit ARM Windows programs on this x86-64 machine
# (called by tools/setup-arm64.sh, once per machine): Debian 12's arm64 Wine
# and the libraries it needs, and qemu's ARM64 emulator, each package
# fetched with apt-get download through an apt configuration of its own (its
# own sources, state and cache) and unpacked with dpkg-deb -x. Nothing is
# installed: Debian's wine64:arm64 would replace the amd64 Wine the other
# tests run on. This machine has no binfmt_misc entry for ARM64 programs, so
# the root's Wine loader and server are replaced by scripts that start them
# under qemu.
#   bash tools/arm64-wine-root.sh
. "$(dirname "$0")/usage.sh"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../cmake/zig/env.sh"
root=$TESSALY_ARM64_CACHE/wine-root
[ -f "$root/.ready" ] && exit 0

echo "setup-arm64: fetching Debian's arm64 Wine and qemu (about 150 MB, once)"
apt_dir=$TESSALY_ARM64_CACHE/apt
rm -rf "$root" "$apt_dir"
mkdir -p "$apt_dir"/{lists/partial,archives/partial,debs,sources.list.d} "$root"
touch "$apt_dir/status"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    >"$apt_dir/sources.list"
options=(-o "APT::Architecture=arm64" -o "APT::Architectures::=arm64" -o "APT::Architectures::=amd64"
    -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State=$apt_dir" -o "Dir::State::status=$apt_dir/status" -o "Dir::Cache=$apt_dir"
    -o "Dir::Cache::archives=$apt_dir/archives" -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root"
    -o "Acquire::Retries=3")
apt-get "${options[@]}" update -qq
# Wine with every library it needs, as an empty arm64 system would install
# it (the status file is empty), without the recommended extras; and qemu's
# user-mode emulators (static programs).
packages=$(apt-get "${options[@]}" install --no-install-recommends -s wine64 | sed -n 's/^Inst \([^ ]*\) .*/\1/p')
(cd "$apt_dir/debs" && apt-get "${options[@]}" download $packages qemu-user-static:amd64 >/dev/null)
for deb in "$apt_dir"/debs/*_arm64.deb "$apt_dir"/debs/*_all.deb; do
    dpkg-deb -x "$deb" "$root"
done
# Of qemu only the one emulator is needed.
mkdir -p "$root/qemu"
dpkg-deb --fsys-tarfile "$(ls "$apt_dir"/debs/qemu-user-static_*_amd64.deb)" |
    tar -x -O ./usr/bin/qemu-aarch64-static >"$root/qemu/qemu-aarch64"
chmod +x "$root/qemu/qemu-aarch64"
rm -rf "$apt_dir" "$root"/usr/share/{doc,locale,man}

# Wine starts every new Windows process by running <its folder>/<the name
# it was started as>: the real loader is renamed and a script under its
# name runs it under qemu, keeping that name. The scripts start the root's
# dynamic loader explicitly, with the root's libraries, rather than have qemu
# look up every absolute path in the root first (its -L): then "/" would be
# the root's, and Wine could not tell that the folder a program starts in
# lies on drive Z:. The loader sits in Wine's own folder, where Wine, taking
# the running program's folder for its own, finds its libraries and data.
wine_bin=$root/usr/lib/wine
libraries=$root/lib/aarch64-linux-gnu:$root/usr/lib/aarch64-linux-gnu
cp "$root/lib/aarch64-linux-gnu/ld-linux-aarch64.so.1" "$wine_bin/"
mv "$wine_bin/wine64" "$wine_bin/wine64.elf"
for pair in wine64:wine64.elf wineserver:wineserver64; do
    cat >"$wine_bin/${pair%%:*}" <<SCRIPT
#!/bin/sh
exec "$root/qemu/qemu-aarch64" "$wine_bin/ld-linux-aarch64.so.1" --library-path "$libraries" \\
    --argv0 ${pair%%:*} "$wine_bin/${pair##*:}" "\$@"
SCRIPT
    chmod +x "$wine_bin/${pair%%:*}"
done
touch "$root/.ready"
