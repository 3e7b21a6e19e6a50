# Cross-compiling Gyrewell.scr (and the Win32 test drivers) for 64-bit Windows
# with MinGW-w64 on Linux.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GYREWELL_MINGW_PREFIX x86_64-w64-mingw32)
set(GYREWELL_WINE /usr/lib/wine/wine64)
find_program(CMAKE_C_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-gcc-win32 ${GYREWELL_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-g++-win32 ${GYREWELL_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${GYREWELL_MINGW_PREFIX}-windres REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
