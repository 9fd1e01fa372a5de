#include "win32/ports/win_prompts.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <new>
#include <string>

#include "win32/ports/text_convert.h"
#include "win32/ports/win_windows.h"

namespace tomari {

int Win32Prompts::ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                              std::uint32_t style) {
  HWND hwnd = ToHwnd(owner);
  UINT flags = style;
  if (!hwnd || !::IsWindow(hwnd)) {
    hwnd = nullptr;
    flags |= MB_TOPMOST | MB_SETFOREGROUND;
  }
  const int answer = MessageBoxW(hwnd, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(), flags);
  return answer == 0 ? kIdCancel : answer;
}

bool Win32Prompts::AskSaveName(const SaveDialogRequest& request, std::string& path,
                                  int& filterIndex) {
  try {
    // The filter holds its own NULs; one more guarantees the closing pair even
    // for a filter that lacks it.
    std::wstring filter = Utf8ToWide(request.filter);
    filter.push_back(L'\0');
    const std::wstring title = Utf8ToWide(request.title);
    const std::wstring folder = Utf8ToWide(request.initialFolder);
    std::wstring file = Utf8ToWide(request.defaultName).substr(0, kFileBufferChars - 1);
    file.resize(kFileBufferChars, L'\0');

    HWND owner = ToHwnd(request.owner);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner && ::IsWindow(owner) ? owner : nullptr;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = request.filterIndex > 0 ? static_cast<DWORD>(request.filterIndex) : 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The working directory is not ours to move: the application finds its
    // files through its own folder, and so may the user's other tools.
    ofn.Flags =
        OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&ofn)) return false;
    const std::string chosen = WideToUtf8(std::wstring_view(file.c_str()));
    if (chosen.empty()) return false;
    path = chosen;
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace tomari
