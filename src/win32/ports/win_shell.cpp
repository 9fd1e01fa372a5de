#include "win32/ports/win_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "win32/ports/text_convert.h"

namespace tomari {

void Win32Shell::Open(const std::string& target) {
  // Shown normally: a document opened hidden would be lost to the user.
  ShellExecuteW(nullptr, L"open", Utf8ToWide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tomari
