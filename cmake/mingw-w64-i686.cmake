# Cross-compiling Gyrewell.scr (and the Win32 test drivers) for 32-bit x86
# Windows, every one since Windows 95, with MinGW-w64 on Linux.
#
# Only the -win32 compilers: the -posix ones bring a threads library that
# imports functions Windows 95/98 lack. The program's own code is compiled for
# Pentium-class processors (-march=i586: no cmov, no SSE), and its image
# declares subsystem and OS version 4.0, the oldest any Windows loads. The
# prebuilt runtime linked in statically (libgcc, libstdc++ and the MinGW start-up
# code) was compiled by Debian for its own baseline; scripts/test audits what
# the finished program imports.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(GYREWELL_MINGW_PREFIX i686-w64-mingw32)
set(GYREWELL_WINE /usr/lib/wine/wine)
find_program(CMAKE_C_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-gcc-win32 REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-g++-win32 REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_C_FLAGS_INIT "-march=i586")
set(CMAKE_CXX_FLAGS_INIT "-march=i586")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
  " -Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
set(CMAKE_SHARED_LINKER_FLAGS_INIT
  "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
