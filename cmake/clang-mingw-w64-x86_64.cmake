# Second compiler for the Windows build: clang targeting MinGW. It rejects some
# GNU-only forms that g++ accepts, which keeps the product close to what MSVC takes.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
find_program(GYREWELL_CLANG NAMES clang REQUIRED)
find_program(GYREWELL_CLANGXX NAMES clang++ REQUIRED)
set(CMAKE_C_COMPILER ${GYREWELL_CLANG})
set(CMAKE_CXX_COMPILER ${GYREWELL_CLANGXX})
set(CMAKE_C_COMPILER_TARGET ${GYREWELL_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${GYREWELL_MINGW_PREFIX})
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -static-libgcc -static-libstdc++ -static")
