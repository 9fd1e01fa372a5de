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

HWND WaitForDialog(const wchar_t* caption, HWND owner = nullptr) {
  for (int i = 0; i < 250; ++i) {
    HWND h = FindWindowW(L"#32770", caption);
    if (h && (!owner || GetWindow(h, GW_OWNER) == owner)) return h;
    Sleep(20);
  }
  return nullptr;
}

// With WINE_GTEST_SHOTS set, the test script photographs the screen as NAME.png
// and removes the request file once done.
void Screenshot(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"WINE_GTEST_SHOTS", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  std::wstring path = std::wstring(L"Z:") + dir + L"/" + name + L".request";
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  Sleep(300);
  for (int i = 0; i < 100 && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
}

std::wstring TextOf(HWND h) {
  wchar_t buf[1024] = L"";
  GetWindowTextW(h, buf, 1024);
  return buf;
}

void Press(HWND dialog, int id, bool wait = true) {
  const WPARAM wp = MAKEWPARAM(id, BN_CLICKED);
  const LPARAM lp = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
  if (wait)
    SendMessageW(dialog, WM_COMMAND, wp, lp);
  else
    PostMessageW(dialog, WM_COMMAND, wp, lp);
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<not opened>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

void PutOnClipboard(const std::wstring& text, HWND owner) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
}

TEST(TextGrabDialog, ListsTitleThenCaptionsAndReadsAChangedEditAgain) {
  win32test::Target target;
  ASSERT_TRUE(target.Start(L"--title \"Grab me\" --buttons --edit"));
  HWND edit = FindWindowExW(target.hwnd(), nullptr, L"EDIT", nullptr);
  ASSERT_NE(edit, nullptr);
  win32test::OwnWindow owner;
  PutOnClipboard(L"earlier", owner.hwnd());

  struct Seen {
    bool menusTicked = false;
    std::vector<std::wstring> first, again;
    std::wstring clipboardWithoutSelection, shown, listed, copied;
  } seen;
  std::thread user([&] {
    HWND d = WaitForDialog(L"トマリギ - 画面内文字列取得");
    if (!d) return;
    HWND list = GetDlgItem(d, IDC_GRAB_LIST);
    auto items = [&] {
      std::vector<std::wstring> out;
      const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < n; ++i) {
        wchar_t buf[256] = L"";
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
      }
      return out;
    };
    seen.menusTicked = IsDlgButtonChecked(d, IDC_GRAB_MENUS) == BST_CHECKED;
    // Menus of another process are not what this looks at.
    CheckDlgButton(d, IDC_GRAB_MENUS, BST_UNCHECKED);
    Press(d, IDC_GRAB_RECOLLECT);
    seen.first = items();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"first"));
    Press(d, IDC_GRAB_RECOLLECT);
    seen.again = items();
    Press(d, IDC_GRAB_COPY);
    seen.clipboardWithoutSelection = ClipboardText();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"second"));
    const int last = static_cast<int>(seen.again.size()) - 1;
    SendMessageW(list, LB_SETCURSEL, last, 0);
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_GRAB_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    seen.shown = TextOf(GetDlgItem(d, IDC_GRAB_TEXT));
    seen.listed = items().back();
    Press(d, IDC_GRAB_COPY);
    seen.copied = ClipboardText();
    Screenshot(L"text_grab");
    Press(d, IDC_DIALOG_CANCEL);
  });

  App app;
  app.TargetWindow = reinterpret_cast<WindowHandle>(target.hwnd());
  Win32WindowTexts texts;
  Win32TextClipboard clipboard(reinterpret_cast<WindowHandle>(owner.hwnd()));
  ShowTextGrab(GetModuleHandleW(nullptr), owner.hwnd(), app, texts, clipboard);
  user.join();

  EXPECT_TRUE(seen.menusTicked);
  const std::vector<std::wstring> captions{L"Grab me", L"One", L"Two", L"Three"};
  EXPECT_EQ(seen.first, captions);  // the empty edit gives no entry
  std::vector<std::wstring> withEdit = captions;
  withEdit.push_back(L"first");
  EXPECT_EQ(seen.again, withEdit);
  EXPECT_EQ(seen.clipboardWithoutSelection, L"earlier");
  EXPECT_EQ(seen.shown, L"second");
  EXPECT_EQ(seen.listed, L"first");
  EXPECT_EQ(seen.copied, L"second");
}

TEST(ExclusionEditorDialog, RefusesAnEntryWithoutNameOrTargetAndWritesBackTrimmed) {
  win32test::OwnWindow owner;
  const wchar_t* caption = L"トマリギ - 対象外ウインドウの編集";
  struct Seen {
    std::wstring prefilledTitle, prefilledClass;
    std::vector<std::string> messages;
    bool openAfterEachMessage = true;
  } seen;
  // Presses OK and returns the message box's text, dismissing it; "" when none came.
  auto okAndMessage = [&](HWND editor) -> std::string {
    Press(editor, IDC_DIALOG_OK, false);
    HWND box = WaitForDialog(L"トマリギ", editor);
    if (!box) return {};
    const std::string text = WideToUtf8(TextOf(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
    seen.openAfterEachMessage = seen.openAfterEachMessage && IsWindowVisible(editor);
    return text;
  };

  std::thread user([&] {
    HWND e = WaitForDialog(caption, owner.hwnd());
    if (!e) return;
    seen.prefilledTitle = TextOf(GetDlgItem(e, IDC_EXCL_TITLE));
    seen.prefilledClass = TextOf(GetDlgItem(e, IDC_EXCL_CLASS));
    Screenshot(L"exclusion_editor");
    SetDlgItemTextW(e, IDC_EXCL_NAME, L"   ");
    seen.messages.push_back(okAndMessage(e));
    SetDlgItemTextW(e, IDC_EXCL_NAME, L" 名前 ");
    SetDlgItemTextW(e, IDC_EXCL_TITLE, L"  ");
    SetDlgItemTextW(e, IDC_EXCL_CLASS, L"");
    seen.messages.push_back(okAndMessage(e));
    SetDlgItemTextW(e, IDC_EXCL_TITLE, L" Notepad ");
    CheckDlgButton(e, IDC_EXCL_IN_TITLE, BST_CHECKED);
    Press(e, IDC_DIALOG_OK, false);
  });
  App app;
  ExclusionEntry entry{"", "Untitled - Notepad", 0, "Notepad"};
  const bool ok = ShowExclusionEditor(GetModuleHandleW(nullptr), owner.hwnd(), app, entry);
  user.join();
  EXPECT_EQ(seen.prefilledTitle, L"Untitled - Notepad");
  EXPECT_EQ(seen.prefilledClass, L"Notepad");
  EXPECT_EQ(seen.messages,
            (std::vector<std::string>{kExclusionNameMissing, kExclusionTargetMissing}));
  EXPECT_TRUE(seen.openAfterEachMessage);
  EXPECT_TRUE(ok);
  EXPECT_EQ(entry, (ExclusionEntry{"名前", "Notepad", 1, ""}));

  // Cancel after edits: the buffer is as the caller left it.
  std::thread canceller([&] {
    HWND e = WaitForDialog(caption, owner.hwnd());
    if (!e) return;
    SetDlgItemTextW(e, IDC_EXCL_NAME, L"changed");
    Press(e, IDC_DIALOG_CANCEL, false);
  });
  const ExclusionEntry before = entry;
  EXPECT_FALSE(ShowExclusionEditor(GetModuleHandleW(nullptr), owner.hwnd(), app, entry));
  canceller.join();
  EXPECT_EQ(entry, before);
}

}  // namespace
}  // namespace tomari
