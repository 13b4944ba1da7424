# Cross-build for 64-bit ARM Windows (Windows on ARM, whose file manager is a
# native ARM64 process and loads only ARM64 in-process servers) with Zig 0.11
# (clang 16, the mingw-w64 runtime and libc++), which tools/setup-arm64.sh
# fetches. The wrappers in zig/ call it as CMake calls a compiler; windres
# there turns Debian's x86-64 resource compiler's output into ARM64 objects.
# Programs built here run under ARM64 Wine through tools/arm64-wine.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)

set(TESSALY_ZIG_WRAPPERS ${CMAKE_CURRENT_LIST_DIR}/zig)
execute_process(COMMAND sh -c ". '${TESSALY_ZIG_WRAPPERS}/env.sh' && test -x \"$TESSALY_ZIG\""
    RESULT_VARIABLE zig_missing)
if(zig_missing)
    message(FATAL_ERROR "The ARM64 toolchain (Zig) is not there yet: bash tools/setup.sh fetches it")
endif()
set(CMAKE_C_COMPILER   ${TESSALY_ZIG_WRAPPERS}/zig-cc)
set(CMAKE_CXX_COMPILER ${TESSALY_ZIG_WRAPPERS}/zig-c++)
set(CMAKE_AR           ${TESSALY_ZIG_WRAPPERS}/zig-ar CACHE FILEPATH "" FORCE)
set(CMAKE_RANLIB       ${TESSALY_ZIG_WRAPPERS}/zig-ranlib CACHE FILEPATH "" FORCE)
set(CMAKE_RC_COMPILER  ${TESSALY_ZIG_WRAPPERS}/windres)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The check after linking reads the DLL with llvm-objdump (mingw-w64's
# objdump does not know ARM64 PE files); the release files are stripped with
# llvm-objcopy.
set(CMAKE_OBJDUMP llvm-objdump CACHE FILEPATH "" FORCE)
set(CMAKE_OBJCOPY llvm-objcopy CACHE FILEPATH "" FORCE)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/arm64-wine.sh)
# Zig's linker differs from mingw-w64's (cmake/TessalyRelease.cmake).
set(TESSALY_ZIG_TOOLCHAIN ON)
