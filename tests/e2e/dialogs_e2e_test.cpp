// The dialogs as a user meets them in Tomari.exe under Wine, opened from the
// widget's buttons and menu and driven through their own controls; with
// WINE_GTEST_SHOTS set, each is photographed under a stable name.
#include <gtest/gtest.h>

#include <string>

#include "win32/win32_test_support.h"
// after <windows.h>
#include <commctrl.h>

#include "dialogs/exclusion_editor.h"
#include "win32/ports/text_convert.h"
#include "win32/resources/resource.h"

using namespace win32test;

namespace {

constexpr int kGetTextButton = 4;  // of the Default skin
constexpr int kSettingButton = 7;
constexpr int kFormatPage = 2, kSkinPage = 3, kCapturePage = 6, kImagePage = 7;
const wchar_t* const kSettingsCaption = L"トマリギ - 設定";

POINT Centre(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
LRESULT Ask(HWND dialog, int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  return SendDlgItemMessageW(dialog, id, msg, wp, lp);
}
bool Shows(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
std::wstring Text(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }
// Row `row` of a list box, on the screen (the list is scrolled to its top).
POINT Row(HWND dialog, int id, int row) {
  const RECT r = WindowRect(GetDlgItem(dialog, id));
  const int height = static_cast<int>(Ask(dialog, id, LB_GETITEMHEIGHT));
  return {r.left + 20, r.top + 2 + height * row + height / 2};
}
int FindRow(HWND dialog, int id, const std::wstring& part) {
  for (int i = 0; i < Ask(dialog, id, LB_GETCOUNT); ++i) {
    wchar_t text[512] = L"";
    Ask(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (std::wstring(text).find(part) != std::wstring::npos) return i;
  }
  return -1;
}
// Presses the button and waits for the dialog to close.
bool Finish(HWND dialog, int id) {
  Press(dialog, id);
  return WaitUntil([&] { return !IsWindow(dialog); });
}
HWND OpenSettings(const TomariRun& run) {
  Click(run.Button(kSettingButton));
  return WaitForDialog(kSettingsCaption);
}
int Page(HWND dialog) { return static_cast<int>(Ask(dialog, IDC_SETTINGS_TABS, TCM_GETCURSEL)); }
// Ctrl+Tab, as the user switches pages from the keyboard; a key that reaches
// the dialog before it is in front is pressed again.
void NextPage(HWND dialog, int times = 1) {
  for (int i = 0; i < times; ++i) {
    const int want = (Page(dialog) + 1) % 9;
    for (int attempt = 0; attempt < 3 && Page(dialog) != want; ++attempt) {
      Activate(dialog);
      Key(VK_CONTROL, true);
      TapKey(VK_TAB);
      Key(VK_CONTROL, false);
      WaitUntil([&] { return Page(dialog) == want; }, 2000);
    }
  }
}
void Scroll(HWND dialog, int bar, int code) {
  SendMessageW(dialog, WM_HSCROLL, code, reinterpret_cast<LPARAM>(GetDlgItem(dialog, bar)));
}
// The format composer, from a double-click on the settings' format box.
HWND OpenComposer(HWND settings) {
  Click(Centre(WindowRect(GetDlgItem(settings, IDC_FORMAT_TEXT))), 1, 2);
  return WaitForDialog(L"トマリギ - 時刻形式の設定");
}

// The display DPI that programs started from now on read, as long as it lives
// (the test prefix has none of its own: 96).
struct SystemDpi {
  explicit SystemDpi(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                    sizeof(dpi));
  }
  ~SystemDpi() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"); }
};

}  // namespace

TEST(Dialogs, VersionSettingsComposerAndChooserChangeWhatTheyShouldAndNothingOnCancel) {
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"Settings\" --rect 200,260,420,300", true));
  TomariRun run;
  ASSERT_TRUE(run.Start(L"dialogs", "[Main]\r\nTiming=200\r\n[Layer]\r\nTransparency=128\r\n"));
  ASSERT_TRUE(PerchedOn(run.widget, target.hwnd()));
  SaveScreenshot(L"widget");

  ASSERT_TRUE(run.Menu({'A'}));  // バージョン情報(&A)
  HWND version = WaitForDialog(L"トマリギ - バージョン情報");
  EXPECT_EQ(Text(version, IDC_VERSION_NUMBER), L"Ver.1.4.4");
  EXPECT_EQ(Text(version, IDC_VERSION_SKIN).rfind(L"トマリギ 標準", 0), 0u) << "the skin in use";
  SaveScreenshot(L"version");
  ASSERT_TRUE(Finish(version, IDC_DIALOG_OK));

  const std::string before = run.SettingsFile();
  HWND dialog = OpenSettings(run);
  EXPECT_EQ(Page(dialog), 0);
  EXPECT_FALSE(IsWindowEnabled(run.widget));
  for (int page = 0; page < 9 + kImagePage; ++page) {  // every page once, on to JPEG/PNG
    if (page < 9) SaveScreenshot(L"settings-page-" + std::to_wstring(page));
    NextPage(dialog);
  }
  EXPECT_EQ(Page(dialog), kImagePage);
  EXPECT_TRUE(Shows(dialog, IDC_JPEG_FRAME));
  EXPECT_FALSE(Shows(dialog, IDC_POS_FRAME));
  Scroll(dialog, IDC_TIMING, SB_PAGEDOWN);
  Scroll(dialog, IDC_OPACITY, SB_LINEDOWN);
  EXPECT_EQ(Text(dialog, IDC_TIMING_LABEL), L" 210ms");
  EXPECT_EQ(Text(dialog, IDC_OPACITY_LABEL), L"--- 129(50%) ---");
  ASSERT_TRUE(Finish(dialog, IDC_DIALOG_CANCEL));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(run.widget) != FALSE; }));
  EXPECT_EQ(run.SettingsFile(), before);

  // Reopened on the page last shown; this time every change is kept.
  dialog = OpenSettings(run);
  EXPECT_EQ(Page(dialog), kImagePage);
  Scroll(dialog, IDC_TIMING, SB_PAGEDOWN);
  Scroll(dialog, IDC_OPACITY, SB_LINEDOWN);
  NextPage(dialog, 9 + kFormatPage - kImagePage);
  HWND composer = OpenComposer(dialog);
  EXPECT_EQ(Text(composer, IDC_COMPOSER_TEXT), L"");
  Click(Row(composer, IDC_COMPOSER_LIST, 0), 1, 2);  // a double-click appends the row
  EXPECT_TRUE(WaitUntil([&] { return Text(composer, IDC_COMPOSER_TEXT) == L"yyyy/mm/dd"; }));
  SaveScreenshot(L"composer");
  ASSERT_TRUE(Finish(composer, IDC_DIALOG_OK));
  EXPECT_EQ(Text(dialog, IDC_FORMAT_TEXT), L"yyyy/mm/dd");

  NextPage(dialog, kSkinPage - kFormatPage);
  Click(Centre(WindowRect(GetDlgItem(dialog, IDC_SKIN_PREVIEW))), 1, 2);
  HWND chooser = WaitForDialog(L"トマリギ - スキンの選択");
  // The list is shown once the search is over, with the skin in use selected.
  ASSERT_TRUE(WaitUntil([&] { return Shows(chooser, IDC_CHOOSER_LIST); }, 10000));
  EXPECT_EQ(Ask(chooser, IDC_CHOOSER_LIST, LB_GETCURSEL),
            FindRow(chooser, IDC_CHOOSER_LIST, L"トマリギ 標準"));
  const int branch = FindRow(chooser, IDC_CHOOSER_LIST, L"止まり木の枝");
  ASSERT_GE(branch, 0);
  Click(Row(chooser, IDC_CHOOSER_LIST, branch));
  const std::wstring branchPath = run.dir + L"Skins\\Branch\\Branch.tsk";
  EXPECT_TRUE(WaitUntil([&] { return Text(chooser, IDC_CHOOSER_PATH) == branchPath; }));
  SaveScreenshot(L"chooser");
  // The preview shows the skin on its key colour, not the bare control.
  HWND preview = GetDlgItem(chooser, IDC_CHOOSER_PREVIEW);
  HDC dc = GetDC(preview);
  RECT area{};
  GetClientRect(preview, &area);
  EXPECT_NE(GetPixel(dc, area.right / 2, area.bottom / 2), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(preview, dc);
  ASSERT_TRUE(Finish(chooser, IDC_DIALOG_OK));
  EXPECT_EQ(Text(dialog, IDC_SKIN_PATH), branchPath);

  const auto stamp = run.Stamp();
  ASSERT_TRUE(Finish(dialog, IDC_DIALOG_OK));
  const std::string after = run.SavedSince(stamp);
  for (const std::string& line :
       {std::string("Timing= 210\r\n"), std::string("Transparency= 129\r\n"),
        std::string("FormatText=\"yyyy/mm/dd\"\r\n"), "Skin=" + Narrow(branchPath)})
    EXPECT_NE(after.find(line), std::string::npos) << line << " in\n" << after;
  // The widget wears the new skin (its back image is 170 x 32).
  EXPECT_TRUE(WaitUntil([&] {
    const RECT w = WindowRect(run.widget);
    return w.right - w.left == 170 && w.bottom - w.top == 32;
  }));
  SaveScreenshot(L"widget-branch");
  EXPECT_TRUE(run.Close());
}

TEST(Dialogs, TextGrabCopiesAnEntryAndAnExcludedWindowIsLeftForGood) {
  Target grab, other;
  ASSERT_TRUE(grab.Start(L"--title \"Grab me\" --rect 150,250,400,260 --buttons --edit", true));
  TomariRun run;
  // Without the imaging library, which hides the JPEG/PNG settings.
  ASSERT_TRUE(run.Start(L"dialogs-nolib", "", [](const std::wstring& dir) {
    DeleteFileW((dir + L"TransG32.dll").c_str());
  }));
  ASSERT_TRUE(PerchedOn(run.widget, grab.hwnd()));

  Click(run.Button(kGetTextButton));
  HWND texts = WaitForDialog(L"トマリギ - 画面内文字列取得");
  EXPECT_EQ(Ask(texts, IDC_GRAB_MENUS, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(FindRow(texts, IDC_GRAB_LIST, L"Grab me"), 0) << "the title comes first";
  const int two = FindRow(texts, IDC_GRAB_LIST, L"Two");
  ASSERT_GT(two, 0);
  SaveScreenshot(L"text-grab");
  ClearClipboard();
  Click(Row(texts, IDC_GRAB_LIST, two), 2);  // the entry's own menu: コピー(&C)
  ASSERT_TRUE(FindWindowOf(0, L"#32768", 5000));
  TapKey('C');
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == L"Two"; }));
  EXPECT_EQ(Text(texts, IDC_GRAB_TEXT), L"Two");
  ASSERT_TRUE(Finish(texts, IDC_DIALOG_CANCEL));

  ASSERT_TRUE(run.Menu({'W', 'A'}));  // 現在のウィンドウを対象外にする(&A)
  HWND editor = WaitForDialog(L"トマリギ - 対象外ウインドウの編集");
  EXPECT_EQ(Text(editor, IDC_EXCL_TITLE), L"Grab me");
  SaveScreenshot(L"exclusion-editor");
  Press(editor, IDC_DIALOG_OK);  // without a name: refused with a message, still open
  HWND box = WaitForDialog(L"トマリギ");
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), tomari::Utf8ToWide(tomari::kExclusionNameMissing));
  ASSERT_TRUE(Finish(box, IDOK));
  EXPECT_TRUE(IsWindowVisible(editor));
  SetDlgItemTextW(editor, IDC_EXCL_NAME, L"つかまえ");
  const auto stamp = run.Stamp();
  ASSERT_TRUE(Finish(editor, IDC_DIALOG_OK));
  const std::string saved = run.SavedSince(stamp);
  EXPECT_NE(saved.find("[AntiPercher001]\r\nName=" + Narrow(L"つかまえ")), std::string::npos)
      << saved;

  // In front again, the excluded window keeps neither the widget nor its attention.
  ASSERT_TRUE(other.Start(L"--title Other --rect 600,300,300,200", true));
  ASSERT_TRUE(PerchedOn(run.widget, other.hwnd()));
  ASSERT_TRUE(Activate(grab.hwnd()));
  SetWindowPos(other.hwnd(), nullptr, 500, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(PerchedOn(run.widget, other.hwnd()));

  HWND dialog = OpenSettings(run);
  NextPage(dialog, kCapturePage - Page(dialog));
  EXPECT_TRUE(Shows(dialog, IDC_FILE_BMP));
  EXPECT_FALSE(Shows(dialog, IDC_FILE_JPEG));
  EXPECT_FALSE(Shows(dialog, IDC_FILE_PNG));
  NextPage(dialog);
  EXPECT_TRUE(Shows(dialog, IDC_IMAGE_FRAME));
  EXPECT_FALSE(Shows(dialog, IDC_JPEG_FRAME));
  NextPage(dialog);  // the exclusions, the new one among them; a double-click edits it
  ASSERT_EQ(Ask(dialog, IDC_EXCL_LIST, LB_GETCOUNT), 1);
  Click(Row(dialog, IDC_EXCL_LIST, 0), 1, 2);
  editor = WaitForDialog(L"トマリギ - 対象外ウインドウの編集");
  EXPECT_EQ(Text(editor, IDC_EXCL_NAME), L"つかまえ");
  ASSERT_TRUE(Finish(editor, IDC_DIALOG_CANCEL));
  ASSERT_TRUE(Finish(dialog, IDC_DIALOG_CANCEL));
  EXPECT_TRUE(run.Close());
}

TEST(Dialogs, At144DpiTheWidgetIsScaledAndTheDialogsAreWhole) {
  Target target;
  TomariRun run;
  {
    SystemDpi dpi(144);
    ASSERT_TRUE(target.Start(L"--title \"Scaled\" --rect 100,300,700,300", true));
    ASSERT_TRUE(run.Start(L"dpi144"));
  }
  ASSERT_TRUE(PerchedOn(run.widget, target.hwnd()));
  const SIZE back = run.BackSize();
  RECT w = WindowRect(run.widget);
  EXPECT_EQ(w.right - w.left, MulDiv(back.cx, 144, 96));
  EXPECT_EQ(w.bottom - w.top, MulDiv(back.cy, 144, 96));
  SaveScreenshot(L"dpi144-widget");

  // Hit at the scaled button (at the skin's own coordinates it would miss).
  HWND dialog = OpenSettings(run);
  for (int page = 0; page < 9; ++page) {
    SaveScreenshot(L"dpi144-settings-page-" + std::to_wstring(page));
    if (page == kFormatPage) {
      HWND composer = OpenComposer(dialog);
      SaveScreenshot(L"dpi144-composer");
      ASSERT_TRUE(Finish(composer, IDC_DIALOG_CANCEL));
    }
    NextPage(dialog);
  }
  ASSERT_TRUE(Finish(dialog, IDC_DIALOG_CANCEL));
  ASSERT_TRUE(run.Menu({'A'}));
  HWND version = WaitForDialog(L"トマリギ - バージョン情報");
  SaveScreenshot(L"dpi144-version");
  ASSERT_TRUE(Finish(version, IDC_DIALOG_OK));

  // Moved to a 96-DPI monitor: the skin's own size again.
  PostMessageW(run.widget, WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
  EXPECT_TRUE(WaitUntil([&] {
    w = WindowRect(run.widget);
    return w.right - w.left == back.cx && w.bottom - w.top == back.cy;
  }));
  EXPECT_TRUE(run.Close());
}
