# Writes a file's bytes as a C++ array definition:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=Symbol -P embed_file.cmake
# defines `const std::uint8_t Symbol[]` and `const std::size_t SymbolSize`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT} by embed_file.cmake; do not edit.\n"
  "#include <cstddef>\n#include <cstdint>\n"
  "extern const std::uint8_t ${NAME}[] = {\n${bytes}\n};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n")
