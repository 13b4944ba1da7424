# Where the 64-bit ARM toolchain lives: Zig 0.11 from npm, unpacked once per
# machine by tools/setup-arm64.sh and shared by every build folder, with Zig's
# compiled runtime (its cache) beside it. Sourced by the wrappers here and by
# the set-up.
TESSALY_ARM64_CACHE=${TESSALY_ARM64_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tessaly/arm64}
TESSALY_ZIG_VERSION=0.11.0
TESSALY_ZIG=$TESSALY_ARM64_CACHE/zig-$TESSALY_ZIG_VERSION/zig
export ZIG_GLOBAL_CACHE_DIR=$TESSALY_ARM64_CACHE/zig-cache
export ZIG_LOCAL_CACHE_DIR=$TESSALY_ARM64_CACHE/zig-cache
zig_target=aarch64-windows-gnu
