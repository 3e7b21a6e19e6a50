// version_info - what Explorer's Properties read from a file's version resource
//
//   version_info FILE
//
// Reads FILE's version resource through the version API (GetFileVersionInfoW,
// VerQueryValueW), as the shell does, and prints one line:
//   version file=A.B.C.D product=A.B.C.D type=N description="..."
//   file_version="..." product_version="..." product_name="..."
//   copyright="..." original="..."
// The strings come from the first translation the resource lists, in UTF-8.
// Exit code 0 when the resource was read, 1 when the file has none, 2 on bad
// usage.
#include "driver_util.h"

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  char out[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

std::string Numbers(DWORD high, DWORD low) {
  char text[64];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", (unsigned long)HIWORD(high), (unsigned long)LOWORD(high),
                (unsigned long)HIWORD(low), (unsigned long)LOWORD(low));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  BinaryStdout();
  if (argc != 2) {
    std::printf("usage: version_info FILE\n");
    return 2;
  }
  wchar_t path[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) {
    std::printf("fail no version resource\n");
    return 1;
  }
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(path, 0, size, &block[0])) {
    std::printf("fail cannot read the version resource\n");
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(&block[0], L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed) {
    std::printf("fail no fixed file information\n");
    return 1;
  }
  WORD* translation = nullptr;
  if (!VerQueryValueW(&block[0], L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < 4) {
    std::printf("fail no translation\n");
    return 1;
  }
  auto text = [&](const wchar_t* name) {
    wchar_t key[128];
    wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    wchar_t* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueW(&block[0], key, reinterpret_cast<void**>(&value), &chars) || !value) return std::string();
    return Utf8(value);
  };
  std::printf(
      "version file=%s product=%s type=%lu description=\"%s\" file_version=\"%s\" product_version=\"%s\" "
      "product_name=\"%s\" copyright=\"%s\" original=\"%s\"\n",
      Numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
      Numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str(), (unsigned long)fixed->dwFileType,
      text(L"FileDescription").c_str(), text(L"FileVersion").c_str(), text(L"ProductVersion").c_str(),
      text(L"ProductName").c_str(), text(L"LegalCopyright").c_str(), text(L"OriginalFilename").c_str());
  return 0;
}
