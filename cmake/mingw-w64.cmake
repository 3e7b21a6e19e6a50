# What both MinGW-w64 cross builds share. The file that includes this one sets
# CMAKE_SYSTEM_PROCESSOR and GYREWELL_MINGW_PREFIX (and, to run cross-built
# programs under Wine, GYREWELL_WINE). The win32 thread model is enough: the
# product uses Win32 threads directly, and linking libgcc/libstdc++ statically
# leaves only system DLLs in the import table.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_FIND_ROOT_PATH /usr/${GYREWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

if(GYREWELL_WINE AND EXISTS ${GYREWELL_WINE})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GYREWELL_WINE})
endif()
