// The widget window with every port over the real system, as the program holds
// them: its mouse messages and close, skins on it, captures of another
// process's window beside it, and the skin chooser over real folders.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// winbase.h still defines the 16-bit Yield() as a macro; the finder has a member of that name.
#undef Yield
#include "app/app.h"
#include "commands/capture.h"
#include "commands/capture_save.h"
#include "commands/widget_face.h"
#include "dialogs/skin_chooser.h"
#include "support/image_bytes.h"
#include "win32/dialogs/skin_chooser_dialog.h"
#include "win32/ports/dib.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_locale.h"
#include "win32/ports/win_screen.h"
#include "win32/ports/win_shell.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/win_windows.h"
#include "win32/resources/resource.h"
#include "win32/widget_window.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using namespace win32test;
namespace bytes = imagebytes;

// Message boxes answered from a script (then Cancel); save dialogs cancelled.
struct ScriptedPrompts final : Prompts {
  std::vector<int> answers;
  std::vector<std::string> messages;
  int ShowMessage(WindowHandle, const std::string& text, const std::string&,
                  std::uint32_t) override {
    messages.push_back(text);
    if (answers.empty()) return kIdCancel;
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  bool AskSaveName(const SaveDialogRequest&, std::string&, int&) override { return false; }
};

struct FixedClock final : Clock {
  DateTime UtcNow() override { return {2003, 1, 17, 17, 30, 5, 0, 5}; }
  DateTime LocalNow() override { return UtcNow(); }
};

class RealWidget : public ::testing::Test, public WidgetEvents {
 protected:
  RealWidget()
      : widget(*this),
        ports{windows, screen,  widget,  files,   clock, codec,    images,   cursors,
              locale,  shell,   prompts, capture, texts, clipboard, directory} {}
  void SetUp() override {
    ASSERT_TRUE(widget.Create(GetModuleHandleW(nullptr), 150, 20));
    widget.MoveTo(200, 150, false);
    widget.Show();
    app.WidgetHandle = widget.Handle();
    app.ownWindows.Reset();
    app.ownWindows.Add(app.WidgetHandle);
    app.skin.StartupFolder = folder.Utf8();
    ASSERT_TRUE(CopyFileW((DistDir() + L"TransG32.dll").c_str(), (folder / L"TransG32.dll").c_str(),
                          FALSE));
    app.facts.HasImageLibrary = library.Load(folder.Utf8());
    ASSERT_TRUE(app.facts.HasImageLibrary);
  }
  void OnTrackingTimer() override {}
  void OnSettingChange() override {}
  void OnHoverTimer() override {}
  void OnPointerPress(int, int, int, int) override {}
  void OnPointerMove(int, int, int, int) override {}
  void OnPointerRelease(int, int, int, int) override {}
  void OnCloseRequest() override {
    ++closes;
    if (closeThrows) throw std::runtime_error("close step failed");
  }
  void OnWidgetDestroyed() override { ++destroyed; }

  HWND hwnd() { return widget.hwnd(); }
  void ApplySkinFile(const std::wstring& name) {
    app.settings.MainSkin = folder.Utf8(name);
    ApplySkin(app, ports);
    Pump(50);
  }
  void WriteSkin(const std::wstring& name, const std::string& utf8) {
    std::string ansi;
    ASSERT_TRUE(codec.ToAnsi(utf8, ansi));
    ASSERT_TRUE(WriteBytes(folder / name, ansi));
  }

  TempFolder folder;
  App app;
  int closes = 0, destroyed = 0;
  bool closeThrows = false;
  Win32WindowSystem windows;
  Win32Screen screen;
  Win32Widget widget;
  Win32FileSystem files;
  FixedClock clock;
  Win32TextCodec codec;
  ImageLibrary library;
  Win32ImageDecoder images{&library};
  Win32CursorLoader cursors;
  Win32Locale locale;
  Win32Shell shell;
  ScriptedPrompts prompts;
  Win32Capture capture{nullptr, &library};
  Win32WindowTexts texts;
  Win32TextClipboard clipboard{0};
  Win32Directory directory;
  Ports ports;
};

TEST_F(RealWidget, CloseAndTheSessionEndGoThroughTheCloseRequestEvenWhenItFails) {
  // Answering the session's end query ends nothing; only its real end does.
  SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(SendMessageW(hwnd(), WM_QUERYENDSESSION, 0, 0));
  SendMessageW(hwnd(), WM_ENDSESSION, FALSE, 0);
  SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(destroyed, 0) << "the window stays until its owner destroys it";
  // The owner's loop ends on the destroyed event: a failed close must not keep it.
  closeThrows = true;
  HWND h = hwnd();
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(RealWidget, TheSkinGivesSizeAndOutlineAndSwitchingSkinsLeaksNothing) {
  constexpr Pixel kKey = MakePixel(255, 0, 255);
  Bitmap back(41, 17, MakePixel(40, 60, 90));  // a rounded badge with a hole
  for (int y = 0; y < back.height; ++y)
    for (int x = 0; x < back.width; ++x)
      if (std::min(x, back.width - 1 - x) + std::min(y, back.height - 1 - y) < 3) back.At(x, y) = kKey;
  back.At(20, 8) = kKey;
  back.At(40, 8) = MakePixel(255, 0, 254);  // one off the key: opaque
  Bitmap map(41, 17, 0);
  for (int x = 5; x < 12; ++x)
    for (int y = 3; y < 9; ++y) map.At(x, y) = MakePixel(255, 0, 0);
  ASSERT_TRUE(WriteBytes(folder / L"back.bmp", bytes::EncodeBmp24(back)));
  ASSERT_TRUE(WriteBytes(folder / L"map.png", bytes::EncodePng(map)));
  ASSERT_TRUE(WriteBytes(folder / L"float.png", bytes::EncodePng(Bitmap(41, 17, 7))));
  WriteSkin(L"map.tsk",
            "[Skin]\nName=バッジ\nBackColor=#FF00FF\nBack=back.bmp\nMap=map.png\nFloat=float.png\n"
            "[Button01]\nType=NONE\nColor=Red\nCursor=hand\n");
  WriteSkin(L"rect.tsk", "[Skin]\nBack=back.bmp\nFloat=float.png\n[Button01]\nType=NONE\nLeft=2\n"
                         "Top=2\nWidth=8\nHeight=8\n");
  const long gdiBefore = gdi::LiveHandles();
  for (int i = 0; i < 10; ++i) {
    ApplySkinFile(i % 2 ? L"map.tsk" : L"rect.tsk");  // the map skin last
    ASSERT_TRUE(app.skin.loaded);
    EXPECT_EQ(app.skin.IsMapSkin(), i % 2 == 1);
    EXPECT_EQ(gdi::LiveHandles(), gdiBefore);
  }
  // The window is the back image's size, its region exactly the pixels not keyed out.
  const RECT r = WindowRect(hwnd());
  EXPECT_EQ(r.right - r.left, 41);
  EXPECT_EQ(r.bottom - r.top, 17);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd(), region), ERROR);
  int wrong = 0;
  for (int y = 0; y < back.height; ++y)
    for (int x = 0; x < back.width; ++x)
      wrong += (PtInRegion(region, x, y) != FALSE) != (back.At(x, y) != kKey);
  EXPECT_EQ(wrong, 0);
  // A skin that is gone: the plain label widget, without the old outline.
  ApplySkinFile(L"gone.tsk");
  EXPECT_FALSE(app.skin.loaded);
  EXPECT_EQ(WindowRect(hwnd()).right - WindowRect(hwnd()).left, 150);
  EXPECT_EQ(GetWindowRgn(hwnd(), region), ERROR) << "no region: the plain rectangle";
  DeleteObject(region);
  EXPECT_EQ(gdi::LiveHandles(), gdiBefore);
}

// target_app.exe paints vertical bars of these colours, 16 pixels each.
long CountOffBars(const Bitmap& picture, int left, int top, int width, int height) {
  static const Pixel kBars[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                 0x00FFFF, 0xFF00FF, 0x000000, 0xFFFFFF};
  long off = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) off += picture.At(x, y) != kBars[((x - left) / 16) % 8];
  return off;
}

Bitmap ClipboardBitmap() {
  Bitmap out;
  if (!OpenClipboard(nullptr)) return out;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    out = Bitmap(info.bmWidth, info.bmHeight);
    BITMAPINFO bi = TopDownDib32(info.bmWidth, info.bmHeight);
    gdi::WindowDC screen(nullptr);
    GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), out.pixels.data(), &bi,
              DIB_RGB_COLORS);
    for (auto& p : out.pixels) p &= 0xFFFFFF;
  }
  CloseClipboard();
  return out;
}

TEST_F(RealWidget, CapturesShowTheWindowNotTheWidgetOnTheClipboardAndInFiles) {
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 100,50,640,480"));
  const HWND t = target.hwnd();
  RECT client{};
  GetClientRect(t, &client);
  POINT origin{0, 0};
  ClientToScreen(t, &origin);
  const int left = origin.x - 100, top = origin.y - 50;
  // The bars are on the screen once a capture of the inside shows them.
  ASSERT_TRUE(WaitUntil([&] {
    const Bitmap b = capture.TakePicture(FromHwnd(t), true);
    return !b.Empty() && CountOffBars(b, 0, 0, b.width, b.height) == 0;
  }));
  capture.AttachWidget(hwnd());
  widget.MoveTo(origin.x + 20, origin.y + 10, true);  // over the window's inside
  app.TargetWindow = FromHwnd(t);
  const long live = gdi::LiveHandles();
  EXPECT_EQ(CaptureTarget(app, ports, 0, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_EQ(GetClipboardOwner(), hwnd()) << "not the captured program's window";
  // Whole: the outer rectangle, with a title bar above the bars.
  const Bitmap whole = ClipboardBitmap();
  ASSERT_EQ(whole.width * 1000 + whole.height, 640480);
  EXPECT_EQ(CountOffBars(whole, left, top, client.right, client.bottom), 0);
  EXPECT_GT(CountOffBars(whole, left, top / 2, 640 - left, 1), 500) << "the title bar row";
  EXPECT_EQ(gdi::LiveHandles(), live) << "the bitmap belongs to the clipboard now";

  // Another thread holds the clipboard: told, and its text is left alone.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  std::atomic<int> step = 0;
  std::thread holder([&] {
    OpenClipboard(nullptr);
    step = 1;
    while (step == 1) Sleep(10);
    CloseClipboard();
  });
  ASSERT_TRUE(WaitUntil([&] { return step == 1; }));
  EXPECT_EQ(CaptureTarget(app, ports, 1, 0, -1).outcome, CaptureOutcome::ClipboardUnavailable);
  step = 2;
  holder.join();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("クリップボード"), std::string::npos);
  EXPECT_FALSE(app.Busy);
  EXPECT_EQ(gdi::LiveHandles(), live) << "the unused bitmap is released";

  // Files: each type, the inside of the window, date-named. A hidden file of
  // that name is asked about and stays hidden; one that cannot be replaced is
  // kept, with its name and the reason told.
  TempFolder out;
  app.settings.CaptureSaveFolder = out.Utf8();
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  for (int type : {kFileBmp, kFileJpeg, kFilePng}) {
    SCOPED_TRACE(type);
    app.settings.CaptureFileType = type;
    const std::wstring name = std::wstring(L"2003_01_17_17_30_05") +
                              (type == kFileBmp ? L".bmp" : type == kFileJpeg ? L".jpg" : L".png");
    ASSERT_TRUE(WriteBytes(out / name, "old"));
    SetFileAttributesW((out / name).c_str(), marks);
    prompts.messages.clear();
    prompts.answers = {kIdYes};
    EXPECT_EQ(CaptureTarget(app, ports, 1, 1, 1).outcome, CaptureOutcome::Saved);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("上書きしますか"), std::string::npos);
    const Bitmap saved = images.Decode(out.Utf8(name));
    ASSERT_EQ(saved.width, client.right);
    EXPECT_EQ(type == kFileJpeg ? 0 : CountOffBars(saved, 0, 0, client.right, client.bottom), 0);
    EXPECT_EQ(GetFileAttributesW((out / name).c_str()) & marks, marks);
    SetFileAttributesW((out / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteBytes(out / name, "old"));
    HANDLE viewer = CreateFileW((out / name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    prompts.messages.clear();
    prompts.answers = {kIdYes};  // the overwrite question again
    EXPECT_EQ(CaptureTarget(app, ports, 1, 1, 1).outcome, CaptureOutcome::WriteFailed);
    CloseHandle(viewer);
    EXPECT_EQ(ReadBytes(out / name), "old");
    ASSERT_EQ(prompts.messages.size(), 2u);
    const std::string quoted = "\"" + WideToUtf8(out / name) + "\"\r\n";
    EXPECT_NE(prompts.messages[1].find(quoted), std::string::npos) << prompts.messages[1];
    EXPECT_FALSE(prompts.messages[1].ends_with(quoted)) << "the reason follows the name";
  }
  EXPECT_EQ(out.Count(), 3) << "no temporary file is left behind";
  EXPECT_TRUE(capture.TakePicture(0x7FFFFFF0, true).Empty()) << "a handle that is gone";
}

// The chooser as it stands once its list is shown, which it is when the
// search is over and the list filled, selected and previewed.
struct Seen {
  int count = 0, selected = -2;
  std::wstring first, path, message;  // the path label names the selected skin
};
Seen Look(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_CHOOSER_LIST), preview = GetDlgItem(dialog, IDC_CHOOSER_PREVIEW);
  Seen seen;
  if (!WaitUntil([&] { return IsWindowVisible(list) != FALSE; }, 20000)) return seen;
  seen.count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  seen.selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  wchar_t entry[512] = L"";
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
  seen.first = entry;
  seen.path = TextOf(GetDlgItem(dialog, IDC_CHOOSER_PATH));
  seen.message = TextOf(preview);
  return seen;
}

TEST_F(RealWidget, TheChooserListsSelectsAndPreviewsSkinsAndTakesOneFromAnotherFolder) {
  const std::wstring root = folder.path(), shipped = DistDir() + L"Skins\\";
  CreateDirectoryW((root + L"Skins").c_str(), nullptr);
  CreateDirectoryW((root + L"Skins\\C").c_str(), nullptr);
  CopyTree(shipped + L"Default\\", root + L"Skins\\A\\");
  CopyTree(shipped + L"Branch\\", root + L"Skins\\枝 🌿\\");  // names in any script
  CopyTree(shipped + L"Default\\", root + L"Other\\");
  ASSERT_TRUE(WriteBytes(root + L"Skins\\C\\Bad.tsk", "[Skin]\r\nBack=missing.png\r\n"));
  const std::wstring branch = root + L"Skins\\枝 🌿\\Branch.tsk", outside = root + L"Other\\Default.tsk";
  const struct Case {
    const char* name;
    std::wstring appFolder, current;
    int count, selected;  // -2: wherever the search found it (the path label tells)
    bool bad, ok;
    const char* shot;
  } cases[] = {
      {"skin in Skins", root, branch, 3, -2, false, true, "chooser-branch"},
      {"skin outside Skins appended", root, outside, 4, 3, false, false, "chooser-default"},
      {"incorrect skin", root, root + L"Skins\\C\\Bad.tsk", 3, -2, true, false, ""},
      {"no Skins folder", root + L"Other\\", L"", 1, -1, false, true, "chooser-nofolder"},
  };
  // Owned as in the program, by a dialog of ours: the widget is only ever busy under it.
  const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                     300, 200, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app.facts.AppFolder = WideToUtf8(c.appFolder);
    Seen seen, chosen;
    bool openAfterOk = false;
    std::thread user([&] {
      HWND dialog = WaitForDialog(L"トマリギ - スキンの選択");
      seen = Look(dialog);
      if (*c.shot) SaveScreenshot(Utf8ToWide(c.shot));
      if (c.current.empty()) {
        // OK with nothing selected keeps the dialog open; another folder fills the list.
        SendMessageW(GetDlgItem(dialog, IDC_DIALOG_OK), BM_CLICK, 0, 0);
        openAfterOk = IsWindowVisible(dialog) != FALSE;
        Press(dialog, IDC_CHOOSER_OTHER_FOLDER);
        HWND ask = WaitForDialog(L"スキンファイル選択");
        // Typed and confirmed until the file dialog takes it (its set-up may
        // still clear the name box); given up as Cancel rather than hang.
        WaitUntil([&] {
          HWND name = GetDlgItem(ask, cmb13) ? GetDlgItem(ask, cmb13) : GetDlgItem(ask, edt1);
          SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(outside.c_str()));
          PostMessageW(ask, WM_COMMAND, IDOK, 0);
          return WaitUntil([&] { return !IsWindow(ask); }, 300);
        });
        if (IsWindow(ask)) PostMessageW(ask, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return TextOf(GetDlgItem(dialog, IDC_CHOOSER_PATH)) == outside; });
        chosen = Look(dialog);
      }
      Press(dialog, c.ok ? IDC_DIALOG_OK : IDC_DIALOG_CANCEL);
      // A refused OK (a failure above) must not leave the test waiting for ever.
      if (!WaitUntil([&] { return !IsWindow(dialog); })) Press(dialog, IDC_DIALOG_CANCEL);
    });
    const std::optional<std::string> result = ShowSkinChooser(
        GetModuleHandleW(nullptr), owner, app, ports, WideToUtf8(c.current));
    user.join();
    EXPECT_EQ(seen.count, c.count);
    EXPECT_EQ(c.selected == -2 ? seen.selected >= 0 : seen.selected == c.selected, true);
    EXPECT_EQ(seen.message, c.bad ? Utf8ToWide(kPreviewInvalid) : L"");
    EXPECT_EQ(seen.path, c.current);
    if (c.current.empty()) {
      EXPECT_EQ(seen.first, Utf8ToWide(kNoSkinsFolderEntry));
      EXPECT_TRUE(openAfterOk) << "OK without a skin closed the dialog";
      EXPECT_EQ(chosen.count, 1);
      EXPECT_EQ(chosen.selected, 0);
    }
    const std::wstring expected = c.current.empty() ? outside : c.current;
    EXPECT_EQ(result, c.ok ? std::optional(WideToUtf8(expected)) : std::nullopt);
  }
  DestroyWindow(owner);
}

}  // namespace
}  // namespace tomari
