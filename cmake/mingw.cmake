# Cross-compiles for Windows on Linux with MinGW-w64, for the processor that
# the including toolchain file sets (CMAKE_SYSTEM_PROCESSOR).
#
# QUIMBARA_THREADS picks the compilers' thread model. win32, the default,
# is the program's: its runtime calls only what Windows XP has. posix is
# GoogleTest's, which needs std::mutex, and the win32 model of this GCC has
# none; but the posix runtime (winpthreads, linked in statically) imports
# GetTickCount64, which XP lacks.
if(NOT QUIMBARA_THREADS)
  set(QUIMBARA_THREADS win32)
endif()
# The compiler checks configure projects of their own: they need it too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUIMBARA_THREADS)

set(CMAKE_SYSTEM_NAME Windows)
set(QUIMBARA_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER   ${QUIMBARA_TRIPLET}-gcc-${QUIMBARA_THREADS})
set(CMAKE_CXX_COMPILER ${QUIMBARA_TRIPLET}-g++-${QUIMBARA_THREADS})
set(CMAKE_RC_COMPILER  ${QUIMBARA_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUIMBARA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run through Wine of the same width, in a prefix of this
# build's own: 32-bit programs in a win32 prefix, 64-bit ones in win64.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(QUIMBARA_WINEARCH win64)
else()
  set(QUIMBARA_WINEARCH win32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh ${QUIMBARA_WINEARCH} ${CMAKE_BINARY_DIR})
