# Cross-build for 32-bit Windows with Debian's mingw-w64: the companion DLL
# that 32-bit programs load on 64-bit Windows. Its programs run under Wine's
# 32-bit side in a 64-bit prefix, as they run on 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TESSALY_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
