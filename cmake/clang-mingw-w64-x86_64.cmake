# Second compiler for the Windows build: clang targeting MinGW. It rejects some
# GNU-only forms that g++ accepts, which keeps the product close to what MSVC takes.
# clang borrows MinGW g++'s runtime: Debian keeps it in a folder named
# "<version>-win32" that clang's driver does not find on its own.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
find_program(GYREWELL_CLANG NAMES clang REQUIRED)
find_program(GYREWELL_CLANGXX NAMES clang++ REQUIRED)
set(CMAKE_C_COMPILER ${GYREWELL_CLANG})
set(CMAKE_CXX_COMPILER ${GYREWELL_CLANGXX})
set(CMAKE_C_COMPILER_TARGET ${GYREWELL_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${GYREWELL_MINGW_PREFIX})

file(GLOB GYREWELL_MINGW_GCC_DIRS /usr/lib/gcc/${GYREWELL_MINGW_PREFIX}/*-win32)
list(GET GYREWELL_MINGW_GCC_DIRS 0 GYREWELL_MINGW_GCC)
set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${GYREWELL_MINGW_GCC}/include/c++ -isystem ${GYREWELL_MINGW_GCC}/include/c++/${GYREWELL_MINGW_PREFIX}")
set(GYREWELL_CLANG_LINK "-fuse-ld=lld -L${GYREWELL_MINGW_GCC} -static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${GYREWELL_CLANG_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${GYREWELL_CLANG_LINK}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${GYREWELL_CLANG_LINK}")
