// The settings dialog, opened from the skin's SETTING button, under Wine.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_support.h"
// after <windows.h>
#include <commctrl.h>
#include "win32/resources/resource.h"

using namespace e2e;

namespace {

constexpr int kSettingButton = 7;  // Button07 of the Default skin
constexpr int kImagePage = 7;

HWND OpenSettings(const TomariRun& run) {
  // The widget scales its skin with the display's DPI.
  POINT button = SkinButtonCentre(run.widget, run.dir, kSettingButton);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const RECT w = WindowRect(run.widget);
  button = {w.left + MulDiv(button.x - w.left, dpi, 96), w.top + MulDiv(button.y - w.top, dpi, 96)};
  Click(button.x, button.y);
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindWindowW(L"#32770", L"トマリギ - 設定")) != nullptr; }, 8000);
  return dialog;
}

int Page(HWND dialog) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_TABS), TCM_GETCURSEL, 0, 0));
}

// Ctrl+Tab, as the user switches pages from the keyboard; a key that reaches
// the dialog before it is in front is pressed again.
void NextPage(HWND dialog, int times) {
  for (int i = 0; i < times; ++i) {
    const int want = (Page(dialog) + 1) % 9;
    for (int attempt = 0; attempt < 3 && Page(dialog) != want; ++attempt) {
      Activate(dialog);
      Key(VK_CONTROL, true);
      TapKey(VK_TAB);
      Key(VK_CONTROL, false);
      WaitUntil([&] { return Page(dialog) == want; }, 1000);
    }
  }
}

bool Shows(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

std::wstring Text(HWND dialog, int id) {
  wchar_t text[64] = {};
  GetDlgItemTextW(dialog, id, text, 64);
  return text;
}

void Scroll(HWND dialog, int bar, int code) {
  SendMessageW(dialog, WM_HSCROLL, code, reinterpret_cast<LPARAM>(GetDlgItem(dialog, bar)));
}

bool Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  return WaitUntil([&] { return !IsWindow(dialog); }, 5000);
}

}  // namespace

TEST(Settings, ReopensOnTheLastPageKeepsTheFileOnCancelAndStoresOnOk) {
  Process p;
  HWND t = StartTarget(p, L"--title \"Settings\" --rect 200,200,360,260");
  ASSERT_TRUE(t);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"settings", "[Main]\r\nTiming=200\r\n[Layer]\r\nTransparency=128\r\n"));
  ASSERT_TRUE(PerchedOn(run.widget, t));
  const std::string before = run.SettingsFile();

  HWND dialog = OpenSettings(run);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Page(dialog), 0);
  EXPECT_FALSE(IsWindowEnabled(run.widget));
  // Every page once, around to the JPEG/PNG page.
  for (int page = 0; page < 9 + kImagePage; ++page) {
    if (page < 9) SaveScreenshot(L"settings-page" + std::to_wstring(page));
    NextPage(dialog, 1);
  }
  EXPECT_EQ(Page(dialog), kImagePage);
  EXPECT_TRUE(Shows(dialog, IDC_JPEG_FRAME));
  EXPECT_FALSE(Shows(dialog, IDC_POS_FRAME));

  Scroll(dialog, IDC_TIMING, SB_PAGEDOWN);
  Scroll(dialog, IDC_OPACITY, SB_LINEDOWN);
  EXPECT_EQ(Text(dialog, IDC_TIMING_LABEL), L" 210ms");
  EXPECT_EQ(Text(dialog, IDC_OPACITY_LABEL), L"--- 129(50%) ---");
  ASSERT_TRUE(Press(dialog, IDC_DIALOG_CANCEL));
  Pump(300);
  EXPECT_EQ(run.SettingsFile(), before);
  EXPECT_TRUE(IsWindowEnabled(run.widget));

  dialog = OpenSettings(run);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Page(dialog), kImagePage);
  EXPECT_TRUE(Shows(dialog, IDC_JPEG_QUALITY));
  Scroll(dialog, IDC_TIMING, SB_PAGEDOWN);
  Scroll(dialog, IDC_OPACITY, SB_LINEDOWN);
  // Wine refuses to replace a file that another process holds open, so the
  // save is awaited by its time stamp, which opens nothing, and read once.
  const auto stamp = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW((run.dir + L"Setting.ini").c_str(), GetFileExInfoStandard, &data);
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
  };
  const ULONGLONG saved = stamp();
  ASSERT_TRUE(Press(dialog, IDC_DIALOG_OK));
  WaitUntil([&] { return stamp() != saved; }, 5000);
  const std::string after = run.SettingsFile();
  EXPECT_NE(after.find("Timing= 210"), std::string::npos) << after;
  EXPECT_NE(after.find("Transparency= 129"), std::string::npos) << after;
  EXPECT_TRUE(run.Close());
}

TEST(Settings, WithoutTheImageLibraryTheJpegAndPngControlsAreHidden) {
  TomariRun run;
  run.dir = MakeProgramCopy(L"settings-nolib");
  ASSERT_TRUE(DeleteFileW((run.dir + L"TransG32.dll").c_str()));
  ASSERT_TRUE(run.process.Start(run.dir + L"Tomari.exe", L""));
  run.widget = WaitForWindow(run.process.Id(), L"TomariWidget", 15000);
  ASSERT_TRUE(run.widget);

  HWND dialog = OpenSettings(run);
  ASSERT_TRUE(dialog);
  NextPage(dialog, 6);
  EXPECT_TRUE(Shows(dialog, IDC_FILE_BMP));
  EXPECT_FALSE(Shows(dialog, IDC_FILE_JPEG));
  EXPECT_FALSE(Shows(dialog, IDC_FILE_PNG));
  NextPage(dialog, 1);
  EXPECT_EQ(Page(dialog), kImagePage);
  EXPECT_TRUE(Shows(dialog, IDC_IMAGE_FRAME));
  EXPECT_FALSE(Shows(dialog, IDC_JPEG_FRAME));
  EXPECT_FALSE(Shows(dialog, IDC_PNG_SMALL));
  EXPECT_TRUE(Press(dialog, IDC_DIALOG_CANCEL));
  EXPECT_TRUE(run.Close());
}
