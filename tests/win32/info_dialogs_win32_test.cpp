// The time-format composer and the version dialog as the user drives them.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "commands/menu_handlers.h"
#include "commands/widget_face.h"
#include "win32/dialogs/format_composer_dialog.h"
#include "win32/dialogs/version_dialog_view.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_clock.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_locale.h"
#include "win32/ports/win_prompts.h"
#include "win32/ports/win_screen.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/win_windows.h"
#include "win32/resources/resource.h"
#include "win32/skin_test_files.h"
#include "win32/widget_window.h"

namespace {

using Step = std::function<void(HWND dialog)>;

// Runs `steps` one per timer tick inside the dialog's own modal loop, so that
// posted keys pass through it as a user's would.
struct Script {
  static inline std::vector<Step> steps;
  static inline size_t next = 0;
  static inline std::wstring caption;
  static inline bool inStep = false;  // a step that pumps must not run the next one inside it
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", caption.c_str());
    if (!dialog || inStep) return;
    if (next >= steps.size()) return (void)KillTimer(nullptr, id);
    inStep = true;
    steps[next++](dialog);
    inStep = false;
  }
  static void Run(const wchar_t* title, std::vector<Step> s, const std::function<void()>& open) {
    caption = title, steps = std::move(s), next = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 150, Tick);
    open();
    KillTimer(nullptr, id);
    EXPECT_EQ(next, steps.size()) << "the dialog closed before the script ended";
  }
};

std::string Text(HWND dialog, int id) {
  HWND h = GetDlgItem(dialog, id);
  std::wstring t(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  t.resize(static_cast<size_t>(GetWindowTextW(h, t.data(), static_cast<int>(t.size()))));
  return tomari::WideToUtf8(t);
}
void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void PickRow(HWND dialog, int row, int notice) {
  SendDlgItemMessageW(dialog, IDC_COMPOSER_LIST, LB_SETCURSEL, row, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COMPOSER_LIST, notice),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_COMPOSER_LIST)));
}
int Rows(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_COMPOSER_LIST, LB_GETCOUNT, 0, 0));
}

// With WINE_GTEST_SHOTS set, the test script photographs the display as NAME.png.
void Shot(const std::wstring& name) {
  wchar_t dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"WINE_GTEST_SHOTS", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  win32test::Pump(300);
  const std::wstring path = L"Z:" + std::wstring(dir) + L"/" + name + L".request";
  skintest::WriteBytes(path, "");
  win32test::WaitUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                       10000);
}

struct RecordingShell final : tomari::Shell {
  std::vector<std::string> opened;
  void Open(const std::string& target) override { opened.push_back(target); }
};

class InfoDialogsTest : public ::testing::Test,
                        public tomari::WidgetEvents,
                        public tomari::CommandSink {
 protected:
  InfoDialogsTest()
      : widget(*this), ports{windows, screen,  widget, files,  clock,   codec,
              decoder, cursors, locale, shell, prompts, capture, texts, textClipboard, directory} {}
  void SetUp() override {
    ASSERT_TRUE(widget.Create(GetModuleHandleW(nullptr), 150, 20));
    widget.Show();
  }
  void OnTrackingTimer() override {}
  void OnSettingChange() override {}
  void OnHoverTimer() override {}
  void OnPointerPress(int, int, int, int) override {}
  void OnPointerMove(int, int, int, int) override {}
  void OnPointerRelease(int, int, int, int) override {}
  void OnCloseRequest() override {}
  tomari::MenuItem OpenPopupMenu() override { return tomari::MenuItem::None; }
  void Exit() override {}
  void ShowTextGrab() override {}
  void ShowExclusionEditor() override {}
  void ShowSettings() override {}
  void ShowVersion() override {
    tomari::ShowVersionDialog(GetModuleHandleW(nullptr), widget.hwnd(), app, ports);
  }

  std::optional<std::string> Compose(std::vector<Step> steps) {
    std::optional<std::string> result;
    Script::Run(L"トマリギ - 時刻形式の設定", std::move(steps), [&] {
      result = tomari::ShowFormatComposer(GetModuleHandleW(nullptr), owner.hwnd(), app, ports,
                                          app.settings);
    });
    return result;
  }

  win32test::OwnWindow owner{L"Settings stand-in"};
  tomari::App app;
  tomari::Win32WindowSystem windows;
  tomari::Win32Screen screen;
  tomari::Win32FileSystem files;
  tomari::Win32Clock clock;
  tomari::Win32TextCodec codec;
  tomari::Win32Widget widget;
  tomari::Win32ImageDecoder decoder{nullptr};
  tomari::Win32CursorLoader cursors;
  tomari::Win32Locale locale;
  RecordingShell shell;
  tomari::Win32Prompts prompts;
  tomari::Win32Capture capture{nullptr, nullptr};
  tomari::Win32WindowTexts texts;
  tomari::Win32TextClipboard textClipboard{0};
  tomari::Win32Directory directory;
  tomari::Ports ports;
};

TEST_F(InfoDialogsTest, TheComposerBuildsTheTextFromItsControlsAndHandsItBackOnlyOnOk) {
  app.settings.ClockFormatText = "hh:mm";  // never copied in
  const auto composed = Compose({
      [](HWND d) {
        EXPECT_EQ(Text(d, IDC_COMPOSER_TEXT), "");
        EXPECT_EQ(Rows(d), 12);
        PickRow(d, 0, LBN_SELCHANGE);
        EXPECT_EQ(Text(d, IDC_COMPOSER_NOTE), "１９８４年１月１７日の場合\r\n1984/01/17");
        Click(d, IDC_COMPOSER_APPEND);
        Click(d, IDC_COMPOSER_APPEND);
        EXPECT_EQ(Text(d, IDC_COMPOSER_TEXT), "yyyy/mm/ddyyyy/mm/dd");
        Shot(L"composer");
        Click(d, IDC_COMPOSER_DETAILED);
        EXPECT_EQ(Rows(d), 38);
        EXPECT_EQ(Text(d, IDC_COMPOSER_NOTE), "１９８４年１月１７日の場合\r\n1984/01/17");
        Click(d, IDC_COMPOSER_DEFAULT);
        const std::string example = Text(d, IDC_COMPOSER_EXAMPLE);
        EXPECT_EQ(example.size(), 22u) << example;
        EXPECT_EQ(example.rfind(" <", 0), 0u) << example;
        PickRow(d, 32, LBN_DBLCLK);  // "t t t t t "
        EXPECT_EQ(Text(d, IDC_COMPOSER_TEXT), " <yyyy/mm/dd hh:mm:ss>t t t t t ");
        SetDlgItemTextW(d, IDC_COMPOSER_TEXT, L"<->");
        EXPECT_EQ(Text(d, IDC_COMPOSER_EXAMPLE), "<->");
        Click(d, IDC_COMPOSER_APPEND);
        Click(d, IDC_DIALOG_OK);
      },
  });
  EXPECT_EQ(composed, std::optional<std::string>("<->t t t t t "));
  EXPECT_EQ(app.ownWindows.Count(), 0);

  const auto cancelled = Compose({[](HWND d) {
    EXPECT_EQ(Text(d, IDC_COMPOSER_TEXT), "");
    Click(d, IDC_COMPOSER_DEFAULT);
    Click(d, IDC_DIALOG_CANCEL);
  }});
  EXPECT_EQ(cancelled, std::nullopt);
}

TEST_F(InfoDialogsTest, TheVersionDialogShowsTheSkinInUseAndOpensLinksFromTheKeyboard) {
  app.settings.MainSkin = tomari::WideToUtf8(skintest::DistDir() + L"Skins\\Default\\Default.tsk");
  ASSERT_TRUE(tomari::ApplySkin(app, ports));
  bool busyWhileOpen = false;
  Script::Run(L"トマリギ - バージョン情報",
              {
                  [&](HWND d) {
                    busyWhileOpen = app.Busy;
                    EXPECT_EQ(Text(d, IDC_VERSION_NUMBER), "Ver.1.4.4");
                    EXPECT_EQ(Text(d, IDC_VERSION_SKIN), "トマリギ 標準 Ver.1.4.4\r\n(C)トマリギ");
                    EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_DIALOG_OK));
                    Shot(L"version");
                    SetFocus(GetDlgItem(d, IDC_VERSION_MAIL_LINK));
                    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
                  },
                  [&](HWND d) {
                    // Tab order: OK, the home page, the mail; Space presses.
                    SetFocus(GetDlgItem(d, IDC_DIALOG_OK));
                    SendMessageW(d, WM_NEXTDLGCTL, 0, FALSE);
                    EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_VERSION_HOME_LINK));
                    PostMessageW(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
                    PostMessageW(GetFocus(), WM_KEYUP, VK_SPACE, 0);
                  },
                  [&](HWND d) { Click(d, IDC_DIALOG_OK); },
              },
              [&] { tomari::Menu_Version_Click(app, ports, *this); });
  EXPECT_TRUE(busyWhileOpen);
  EXPECT_FALSE(app.Busy);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"mailto:" + std::string(tomari::kMailAddress),
                                                    tomari::kHomePageAddress}));
  EXPECT_NE(GetWindowLongPtrW(widget.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

}  // namespace
