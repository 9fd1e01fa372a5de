// The exclusion editor and the text grab driven as a user would, from a second
// thread, while the dialog runs its modal loop on the test's thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "dialogs/exclusion_editor.h"
#include "win32/dialogs/exclusion_editor_dialog.h"
#include "win32/dialogs/text_grab_dialog.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_text_grab.h"
#include "win32/resources/resource.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

// Visible only once its controls are filled.
HWND WaitForDialog(const wchar_t* caption, HWND owner) {
  for (int i = 0; i < 250; ++i) {
    HWND h = FindWindowW(L"#32770", caption);
    if (h && GetWindow(h, GW_OWNER) == owner && IsWindowVisible(h)) return h;
    Sleep(20);
  }
  return nullptr;
}

std::wstring TextOf(HWND h) {
  wchar_t buf[1024] = L"";
  GetWindowTextW(h, buf, 1024);
  return buf;
}

// Posted when the click opens a message box of its own.
void Press(HWND dialog, int id, bool post = false) {
  const WPARAM wp = MAKEWPARAM(id, BN_CLICKED);
  const LPARAM lp = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
  if (post)
    PostMessageW(dialog, WM_COMMAND, wp, lp);
  else
    SendMessageW(dialog, WM_COMMAND, wp, lp);
}

TEST(TextGrabDialog, ListsTitleThenCaptionsAndReadsAChangedEditAgain) {
  win32test::Target target;
  ASSERT_TRUE(target.Start(L"--title \"Grab me\" --buttons --edit"));
  HWND edit = FindWindowExW(target.hwnd(), nullptr, L"EDIT", nullptr);
  win32test::OwnWindow owner;
  bool menusTicked = false;
  std::vector<std::wstring> first, again;
  std::wstring shown, copied;
  std::thread user([&] {
    HWND d = WaitForDialog(L"トマリギ - 画面内文字列取得", owner.hwnd());
    if (!d) return;
    HWND list = GetDlgItem(d, IDC_GRAB_LIST);
    auto items = [&] {
      std::vector<std::wstring> out(SendMessageW(list, LB_GETCOUNT, 0, 0));
      for (size_t i = 0; i < out.size(); ++i) {
        out[i].resize(SendMessageW(list, LB_GETTEXTLEN, i, 0));
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(out[i].data()));
      }
      return out;
    };
    menusTicked = IsDlgButtonChecked(d, IDC_GRAB_MENUS) == BST_CHECKED;
    CheckDlgButton(d, IDC_GRAB_MENUS, BST_UNCHECKED);  // another process's menus vary
    Press(d, IDC_GRAB_RECOLLECT);
    first = items();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"first"));
    Press(d, IDC_GRAB_RECOLLECT);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"second"));
    again = items();
    SendMessageW(list, LB_SETCURSEL, again.size() - 1, 0);
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_GRAB_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    shown = TextOf(GetDlgItem(d, IDC_GRAB_TEXT));
    Press(d, IDC_GRAB_COPY);
    if (OpenClipboard(nullptr)) {
      if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) copied = static_cast<wchar_t*>(GlobalLock(h));
      CloseClipboard();
    }
    Press(d, IDC_DIALOG_CANCEL);
  });
  App app;
  app.TargetWindow = reinterpret_cast<WindowHandle>(target.hwnd());
  Win32WindowTexts texts;
  Win32TextClipboard clipboard(reinterpret_cast<WindowHandle>(owner.hwnd()));
  ShowTextGrab(GetModuleHandleW(nullptr), owner.hwnd(), app, texts, clipboard);
  user.join();

  EXPECT_TRUE(menusTicked);
  std::vector<std::wstring> expected{L"Grab me", L"One", L"Two", L"Three"};
  EXPECT_EQ(first, expected);  // the empty edit gives no entry
  expected.push_back(L"first");
  EXPECT_EQ(again, expected);  // the list keeps what was collected...
  EXPECT_EQ(shown, L"second");  // ...selecting and copying read the edit again
  EXPECT_EQ(copied, L"second");
}

TEST(ExclusionEditorDialog, RefusesAnEntryWithoutNameOrTargetAndWritesBackTrimmed) {
  win32test::OwnWindow owner;
  std::wstring prefilled;
  std::vector<std::string> messages;
  bool stayedOpen = true;
  std::thread user([&] {
    HWND e = WaitForDialog(L"トマリギ - 対象外ウインドウの編集", owner.hwnd());
    if (!e) return;
    prefilled = TextOf(GetDlgItem(e, IDC_EXCL_TITLE)) + L"|" +
                TextOf(GetDlgItem(e, IDC_EXCL_CLASS));
    auto okAndMessage = [&] {
      Press(e, IDC_DIALOG_OK, true);
      HWND box = WaitForDialog(L"トマリギ", e);
      if (!box) return;
      messages.push_back(WideToUtf8(TextOf(GetDlgItem(box, 0xFFFF))));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
      stayedOpen = stayedOpen && IsWindowVisible(e);
    };
    SetDlgItemTextW(e, IDC_EXCL_NAME, L"   ");
    okAndMessage();
    SetDlgItemTextW(e, IDC_EXCL_NAME, L" 名前 ");
    SetDlgItemTextW(e, IDC_EXCL_TITLE, L"  ");
    SetDlgItemTextW(e, IDC_EXCL_CLASS, L"");
    okAndMessage();
    SetDlgItemTextW(e, IDC_EXCL_TITLE, L" Notepad ");
    CheckDlgButton(e, IDC_EXCL_IN_TITLE, BST_CHECKED);
    Press(e, IDC_DIALOG_OK, true);
  });
  App app;
  ExclusionEntry entry{"", "Untitled - Notepad", 0, "Notepad"};
  const bool ok = ShowExclusionEditor(GetModuleHandleW(nullptr), owner.hwnd(), app, entry);
  user.join();
  EXPECT_EQ(prefilled, L"Untitled - Notepad|Notepad");
  EXPECT_EQ(messages, (std::vector<std::string>{kExclusionNameMissing, kExclusionTargetMissing}));
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(ok);
  EXPECT_EQ(entry, (ExclusionEntry{"名前", "Notepad", 1, ""}));
}

}  // namespace
}  // namespace tomari
