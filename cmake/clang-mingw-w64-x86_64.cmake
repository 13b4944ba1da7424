# The Windows build once more with clang as a second compiler (a portability
# check, tools/static-analysis.sh): clang targets mingw-w64 and uses Debian's
# mingw-w64 GCC for its C++ library headers and runtime libraries.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TESSALY_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TESSALY_MINGW_PREFIX})

file(GLOB TESSALY_MINGW_GCC_DIR /usr/lib/gcc/${TESSALY_MINGW_PREFIX}/*-posix)
set(TESSALY_MINGW_CXX_HEADERS ${TESSALY_MINGW_GCC_DIR}/include/c++)
set(CMAKE_CXX_FLAGS_INIT "-nostdinc++ -isystem ${TESSALY_MINGW_CXX_HEADERS} -isystem ${TESSALY_MINGW_CXX_HEADERS}/${TESSALY_MINGW_PREFIX} -isystem ${TESSALY_MINGW_CXX_HEADERS}/backward")
# clang's driver does not know where Debian keeps mingw-w64 GCC's libraries,
# and the static runtime needs them as one group after everything else.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${TESSALY_MINGW_GCC_DIR}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-L${TESSALY_MINGW_GCC_DIR}")
set(CMAKE_CXX_STANDARD_LIBRARIES "-Wl,--start-group -lstdc++ -lgcc -lgcc_eh -lpthread -Wl,--end-group -lkernel32 -luser32 -lgdi32 -ladvapi32 -lshell32 -lole32 -loleaut32 -luuid -lcomctl32")
# The check after linking reads the DLL with the mingw-w64 objdump; the
# release files are split with its objcopy.
set(CMAKE_OBJDUMP ${TESSALY_MINGW_PREFIX}-objdump CACHE FILEPATH "" FORCE)
set(CMAKE_OBJCOPY ${TESSALY_MINGW_PREFIX}-objcopy CACHE FILEPATH "" FORCE)
