// source_files.h - reading committed files of the source tree in unit tests, and
// the little-endian fields of the formats they hold.
#ifndef GYREWELL_TESTS_SOURCE_FILES_H
#define GYREWELL_TESTS_SOURCE_FILES_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The file at `relative` below the source tree; empty when it cannot be read.
inline Bytes ReadFile(const char* relative) {
  const std::string path = std::string(GYREWELL_SOURCE_DIR) + "/" + relative;
  Bytes bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::uint8_t buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

inline std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline std::uint32_t U16(const Bytes& b, std::size_t at) { return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8); }

#endif
