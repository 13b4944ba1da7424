# What both mingw-w64 cross-builds share; the including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and TESSALY_MINGW_PREFIX (the compilers' target).
# The posix thread model is taken because GoogleTest needs std::mutex.
# Programs built here run under Wine through tools/wine-run.sh, so ctest can
# run the Windows tests directly.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TESSALY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TESSALY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSALY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
