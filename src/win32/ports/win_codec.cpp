#include "win32/ports/win_codec.h"

#include <windows.h>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

std::wstring AnsiToWide(UINT codePage, const std::string& ansi) {
  if (ansi.empty() || ansi.size() > 0x7FFFFFFF) return {};
  const int inLen = static_cast<int>(ansi.size());
  int n = MultiByteToWideChar(codePage, 0, ansi.data(), inLen, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  n = MultiByteToWideChar(codePage, 0, ansi.data(), inLen, wide.data(), n);
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

}  // namespace

unsigned Win32TextCodec::AnsiCodePage() { return GetACP(); }

bool Win32TextCodec::ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  const UINT codePage = GetACP();
  std::wstring wide = Utf8ToWide(utf8);
  if (codePage == CP_UTF8) {
    // A system that runs on UTF-8: only broken input can fail to come back.
    ansi = WideToUtf8(wide);
    return ansi == utf8;
  }
  if (wide.empty() || wide.size() > 0x7FFFFFFF) return false;
  const int inLen = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), inLen, nullptr, 0,
                              nullptr, &usedDefault);
  if (n <= 0) return false;
  ansi.assign(static_cast<size_t>(n), '\0');
  n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), inLen, ansi.data(), n,
                          nullptr, &usedDefault);
  if (n <= 0) {
    ansi.clear();
    return false;
  }
  ansi.resize(static_cast<size_t>(n));
  return !usedDefault;
}

std::string Win32TextCodec::FromAnsi(const std::string& ansi) {
  return WideToUtf8(AnsiToWide(GetACP(), ansi));
}

bool Win32TextCodec::IsLeadByte(unsigned char byte) {
  return IsDBCSLeadByteEx(GetACP(), byte) != FALSE;
}

}  // namespace tomari
