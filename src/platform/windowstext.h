// UTF-8 inside, UTF-16 at the Windows calls: the two conversions the Windows
// files of the platform share.
#pragma once

#include <windows.h>

#include <string>

namespace platform {
inline std::wstring wide(const std::string& text) {
  if (text.empty()) return L"";
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &result[0], length);
  return result;
}

inline std::string narrow(const wchar_t* text, size_t size) {
  if (size == 0) return "";
  int wideSize = static_cast<int>(size);
  int length = WideCharToMultiByte(CP_UTF8, 0, text, wideSize, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, wideSize, &result[0], length, nullptr, nullptr);
  return result;
}
}  // namespace platform
