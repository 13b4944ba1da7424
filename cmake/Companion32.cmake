# The 64-bit build's 32-bit companion: the same sources built with
# cmake/mingw-w64-i686.cmake in a build folder of their own, for the
# installer (which carries both DLLs), the release files and the tests that
# register and install both. TESSALY_COMPANION_DIR names that folder;
# tools/test-all.sh gives the one whose tests it runs, so nothing is built
# twice. The companion's build shares this build's jobs.
set(TESSALY_COMPANION_DIR ${CMAKE_BINARY_DIR}/companion32 CACHE PATH "Build folder of the 32-bit companion")
# As released: without their debug information, which stays beside them.
set(TESSALY_COMPANION_DLL ${TESSALY_COMPANION_DIR}/stripped/Tessaly32_10000.dll)
set(TESSALY_COMPANION_SHELL ${TESSALY_COMPANION_DIR}/stripped/tessaly-shell32.exe)
set(companion_targets tessaly_dll_stripped tessaly_shell_stripped)

if(CMAKE_GENERATOR MATCHES "Make")
    set(companion_build "$(MAKE)" ${companion_targets})
else()
    set(companion_build ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${companion_targets})
endif()
include(ExternalProject)
ExternalProject_Add(tessaly_companion
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${TESSALY_COMPANION_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DTESSALY_BUILD_TESTS=${TESSALY_BUILD_TESTS}
    BUILD_COMMAND ${companion_build}
    BUILD_BYPRODUCTS ${TESSALY_COMPANION_DLL} ${TESSALY_COMPANION_DLL}.debug
                     ${TESSALY_COMPANION_SHELL} ${TESSALY_COMPANION_SHELL}.debug
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    # Its own build's progress lines would mix with this build's.
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
