# The 64-bit build's sibling for Windows on ARM, whose file manager is a
# native ARM64 process and cannot load an x86-64 DLL: the same sources built
# with cmake/zig-aarch64-windows.cmake in a build folder of their own, for
# the release files and the ARM64 installer (the DLL, the shell host its
# Windows 11 package names, the installer's actions). TESSALY_ARM64_DIR names that
# folder; tools/test-all.sh gives the one whose tests it runs, so nothing is
# built twice. It is always an optimised build: its tests run it emulated,
# and it is what ships. Its build shares this build's jobs.
option(TESSALY_WITH_ARM64 "Also build the DLL and shell host for Windows on ARM (tools/setup.sh fetches the toolchain)" ON)
if(NOT TESSALY_WITH_ARM64)
    return()
endif()
set(TESSALY_ARM64_DIR ${CMAKE_BINARY_DIR}/arm64 CACHE PATH "Build folder of the ARM64 DLL")
# As released: without their debug information, which stays beside them.
set(TESSALY_ARM64_DLL ${TESSALY_ARM64_DIR}/stripped/Tessaly64_10000.dll)
set(TESSALY_ARM64_SHELL ${TESSALY_ARM64_DIR}/stripped/tessaly-shell.exe)
set(TESSALY_ARM64_ACTIONS ${TESSALY_ARM64_DIR}/stripped/TessalyInstallerActions.dll)
set(TESSALY_ARM64_FILES ${TESSALY_ARM64_DLL} ${TESSALY_ARM64_DLL}.debug ${TESSALY_ARM64_SHELL}
    ${TESSALY_ARM64_SHELL}.debug)
set(arm64_targets tessaly_dll_stripped tessaly_shell_stripped tessaly_installer_actions_stripped)

if(CMAKE_GENERATOR MATCHES "Make")
    set(arm64_build "$(MAKE)" ${arm64_targets})
else()
    set(arm64_build ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${arm64_targets})
endif()
include(ExternalProject)
ExternalProject_Add(tessaly_arm64
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${TESSALY_ARM64_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/zig-aarch64-windows.cmake
               -DCMAKE_BUILD_TYPE=Release -DTESSALY_BUILD_TESTS=${TESSALY_BUILD_TESTS}
    BUILD_COMMAND ${arm64_build}
    BUILD_BYPRODUCTS ${TESSALY_ARM64_FILES} ${TESSALY_ARM64_ACTIONS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    # Its own build's progress lines would mix with this build's.
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
