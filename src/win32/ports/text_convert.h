#pragma once
// UTF-8 inside, UTF-16 at the Win32 boundary, and the ANSI code page for files
// and libraries that only know it: every conversion goes through these two.
// Text that cannot be converted (broken UTF-8, lone surrogates) becomes U+FFFD
// or the code page's default character instead of failing, so a bad title or
// path can never stop the caller; `exact` says whether that happened.
#include <windows.h>

#include <string>
#include <string_view>

namespace tomari {

inline std::wstring MultiByteToWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return {};
  const int inLen = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), inLen, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  n = MultiByteToWideChar(codePage, 0, bytes.data(), inLen, wide.data(), n);
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

// To an ANSI code page no character is approximated ("best fit", such as é to
// e): a character without an exact form is replaced and `*exact` set false.
inline std::string WideToMultiByte(UINT codePage, std::wstring_view wide, bool* exact = nullptr) {
  if (exact) *exact = true;
  if (wide.empty()) return {};
  if (wide.size() > 0x7FFFFFFF) {
    if (exact) *exact = false;
    return {};
  }
  const int inLen = static_cast<int>(wide.size());
  // UTF-8 takes neither the flag nor the default-character report.
  const bool ansi = codePage != CP_UTF8;
  const DWORD flags = ansi ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL usedDefault = FALSE;
  BOOL* report = ansi ? &usedDefault : nullptr;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), inLen, nullptr, 0, nullptr, report);
  std::string out;
  if (n > 0) {
    out.assign(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, flags, wide.data(), inLen, out.data(), n, nullptr, report);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  }
  if (exact && (n <= 0 || usedDefault)) *exact = false;
  return out;
}

inline std::wstring Utf8ToWide(std::string_view utf8) { return MultiByteToWide(CP_UTF8, utf8); }
inline std::string WideToUtf8(std::wstring_view wide) { return WideToMultiByte(CP_UTF8, wide); }

}  // namespace tomari
