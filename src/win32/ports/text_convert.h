#pragma once
// UTF-8 inside, UTF-16 at the Win32 boundary. Both directions replace what
// cannot be converted (broken UTF-8, lone surrogates) with U+FFFD instead of
// failing, so a bad title or path can never stop the caller.
#include <windows.h>

#include <string>
#include <string_view>

namespace tomari {

inline std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return {};
  const int inLen = static_cast<int>(utf8.size());
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, wide.data(), n);
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

inline std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty() || wide.size() > 0x7FFFFFFF) return {};
  const int inLen = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, utf8.data(), n, nullptr, nullptr);
  utf8.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return utf8;
}

}  // namespace tomari
