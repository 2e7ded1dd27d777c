# SPDX-License-Identifier: MIT
# Cross-builds the game for 64-bit Windows with Debian's mingw-w64: the
# posix thread model's compilers (GoogleTest needs std::thread), every
# runtime library linked in statically, and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libstdc++, libgcc or libwinpthread DLL beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(VORLANE_WINE wine)
if(VORLANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORLANE_WINE})
endif()

# -O2 rather than -O3: a smaller program, and GCC 12's -O3 inlining makes
# a false -Wrestrict of std::string (GCC bug 105329) that fails the build.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
