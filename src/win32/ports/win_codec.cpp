#include "win32/ports/win_codec.h"

#include <windows.h>

#include "win32/ports/text_convert.h"

namespace tomari {

unsigned Win32TextCodec::AnsiCodePage() { return GetACP(); }

bool Win32TextCodec::ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  const UINT codePage = GetACP();
  const std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty()) return false;
  if (codePage == CP_UTF8) {
    // A system that runs on UTF-8: only broken input can fail to come back.
    ansi = WideToUtf8(wide);
    return ansi == utf8;
  }
  bool exact = false;
  ansi = WideToMultiByte(codePage, wide, &exact);
  return exact;
}

std::string Win32TextCodec::FromAnsi(const std::string& ansi) {
  return WideToUtf8(MultiByteToWide(GetACP(), ansi));
}

bool Win32TextCodec::IsLeadByte(unsigned char byte) {
  return IsDBCSLeadByteEx(GetACP(), byte) != FALSE;
}

}  // namespace tomari
