// Captures of a window of another process under Wine: the pixels and sizes of
// whole and inside pictures, the widget kept out of them, the clipboard, and
// the files written and read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/capture.h"
#include "commands/bmp_file.h"
#include "commands/capture_save.h"
#include "win32/capture_test_support.h"
#include "win32/ports/dib.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_imaging.h"
#include "win32/skin_test_files.h"

namespace {

using capturetest::BarAt;
using capturetest::CaptureRig;
using capturetest::CountOffBars;
using capturetest::FakeWidgetWindow;
using capturetest::ScriptedPrompts;
using tomari::Bitmap;
using tomari::CaptureOutcome;
using tomari::FromHwnd;
using tomari::Win32Capture;

// A target_app window at (100, 50), 640 x 480, with nothing of ours over it.
class CaptureWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(target.Start(L"--rect 100,50,640,480 --title CaptureTarget"));
    hwnd = target.hwnd();
    GetWindowRect(hwnd, &windowRect);
    GetClientRect(hwnd, &clientRect);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    clientLeft = origin.x - windowRect.left;
    clientTop = origin.y - windowRect.top;
    // The bars are on the screen once a capture of the inside shows them.
    Win32Capture probe(nullptr, nullptr);
    win32test::WaitUntil(
        [&] {
          const Bitmap b = probe.TakePicture(FromHwnd(hwnd), true);
          return !b.Empty() && CountOffBars(b, 0, 0, b.width, b.height) == 0;
        },
        5000);
  }
  int ClientWidth() const { return clientRect.right; }
  int ClientHeight() const { return clientRect.bottom; }

  win32test::Target target;
  HWND hwnd = nullptr;
  RECT windowRect{}, clientRect{};
  int clientLeft = 0, clientTop = 0;
};

TEST_F(CaptureWin32, PicturesShowTheWindowAndNeverTheWidgetOverIt) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  FakeWidgetWindow widget(RECT{origin.x + 20, origin.y + 10, origin.x + 220, origin.y + 110},
                          RGB(0x12, 0x34, 0x56));
  Win32Capture capture(widget.hwnd(), nullptr);
  const long live = tomari::gdi::LiveHandles();
  capture.HideWidget();
  EXPECT_FALSE(IsWindowVisible(widget.hwnd()));
  const Bitmap inside = capture.TakePicture(FromHwnd(hwnd), true);
  const Bitmap whole = capture.TakePicture(FromHwnd(hwnd), false);
  capture.ShowWidget();
  EXPECT_TRUE(IsWindowVisible(widget.hwnd()));
  EXPECT_TRUE(GetWindowLongW(widget.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetForegroundWindow(), widget.hwnd());
  // Whole: the outer rectangle, a title bar above the bars where the client starts.
  ASSERT_EQ(whole.width, 640);
  ASSERT_EQ(whole.height, 480);
  ASSERT_GT(clientTop, 10);
  EXPECT_EQ(CountOffBars(whole, clientLeft, clientTop, ClientWidth(), ClientHeight()), 0);
  long frame = 0;
  for (int x = 0; x < 640; ++x) frame += whole.At(x, clientTop / 2) != BarAt(x - clientLeft);
  EXPECT_GT(frame, 600) << "the title bar row must not show the bars";
  ASSERT_EQ(inside.width, ClientWidth());
  ASSERT_EQ(inside.height, ClientHeight());
  EXPECT_EQ(CountOffBars(inside, 0, 0, inside.width, inside.height), 0);
  // Nothing of a handle that is gone or of a window without area.
  EXPECT_TRUE(capture.TakePicture(0x7FFFFFF0, true).Empty());
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  win32test::WaitUntil([&] {
    RECT r;
    GetClientRect(hwnd, &r);
    return r.right == 0 || r.bottom == 0;
  });
  EXPECT_TRUE(capture.TakePicture(FromHwnd(hwnd), true).Empty());
  EXPECT_EQ(tomari::gdi::LiveHandles(), live);
}

// ---- the clipboard -------------------------------------------------------------

Bitmap ClipboardBitmap() {
  Bitmap out;
  if (!OpenClipboard(nullptr)) return out;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    out = Bitmap(info.bmWidth, info.bmHeight);
    BITMAPINFO bi = tomari::TopDownDib32(info.bmWidth, info.bmHeight);
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), out.pixels.data(), &bi,
                  DIB_RGB_COLORS) != info.bmHeight)
      out = Bitmap();
    ReleaseDC(nullptr, screen);
    for (auto& p : out.pixels) p &= 0xFFFFFF;
  }
  CloseClipboard();
  return out;
}

bool PutText(const wchar_t* text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(memory), text, bytes);
  GlobalUnlock(memory);
  const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return ok;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

TEST_F(CaptureWin32, CopyIsOwnedByOurWidgetAndABusyClipboardIsLeftAlone) {
  FakeWidgetWindow widget(RECT{800, 600, 864, 632}, RGB(0, 0, 0));
  ScriptedPrompts prompts;
  Win32Capture capture(widget.hwnd(), nullptr);
  CaptureRig rig(hwnd, widget, prompts, capture);
  const long live = tomari::gdi::LiveHandles();
  EXPECT_EQ(rig.Capture(0, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(GetClipboardOwner(), widget.hwnd()) << "not the captured program's window";
  const Bitmap pasted = ClipboardBitmap();
  ASSERT_EQ(pasted.width, 640);
  EXPECT_EQ(CountOffBars(pasted, clientLeft, clientTop, ClientWidth(), ClientHeight()), 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << "programs that paste a DIB get one";
  EXPECT_EQ(tomari::gdi::LiveHandles(), live) << "the bitmap belongs to the clipboard now";

  // Another thread holds the clipboard open until told to let go.
  ASSERT_TRUE(PutText(L"before"));
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(release, 60000);
    CloseClipboard();
  });
  WaitForSingleObject(opened, 5000);
  const tomari::CaptureResult result = rig.Capture(1, 0, -1);  // returns while it is held
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_EQ(result.outcome, CaptureOutcome::ClipboardUnavailable);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("クリップボード"), std::string::npos);
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_FALSE(rig.app.Busy);
  EXPECT_EQ(tomari::gdi::LiveHandles(), live) << "the unused bitmap is released";
}

// ---- files ------------------------------------------------------------------------

class CaptureFilesWin32 : public CaptureWin32 {
 protected:
  void SetUp() override {
    CaptureWin32::SetUp();
    ASSERT_TRUE(library.Load(tomari::WideToUtf8(skintest::DistDir())));
    rig.app.TargetWindow = FromHwnd(hwnd);
    rig.app.settings.CaptureSaveFolder = folder.Utf8();
  }
  std::wstring DateName(const wchar_t* extension) const {
    return folder / (std::wstring(L"2003_01_17_17_30_05") + extension);
  }

  skintest::TempFolder folder;
  tomari::ImageLibrary library;
  FakeWidgetWindow widget{RECT{800, 600, 864, 632}, RGB(0, 0, 0)};
  ScriptedPrompts prompts;
  Win32Capture capture{widget.hwnd(), &library};
  CaptureRig rig{nullptr, widget, prompts, capture};
  tomari::Win32ImageDecoder decoder;
};

TEST_F(CaptureFilesWin32, AHiddenFileOfTheSameNameIsAskedAboutAndStaysHidden) {
  const struct {
    int type;
    const wchar_t* extension;
  } kCases[] = {{tomari::kFileBmp, L".bmp"}, {tomari::kFilePng, L".png"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type);
    const std::wstring path = DateName(c.extension);
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    rig.app.settings.CaptureFileType = c.type;
    prompts.messages.clear();
    ASSERT_TRUE(skintest::WriteBytes(path, "hidden"));
    SetFileAttributesW(path.c_str(), marks);
    prompts.answers = {tomari::kIdCancel};
    EXPECT_EQ(rig.Capture(1, 1, 1).outcome, CaptureOutcome::Declined);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("上書きしますか"), std::string::npos);
    EXPECT_EQ(skintest::ReadBytes(path), "hidden");

    prompts.answers = {tomari::kIdYes};
    EXPECT_EQ(rig.Capture(1, 1, 1).outcome, CaptureOutcome::Saved);
    EXPECT_EQ(CountOffBars(decoder.Decode(tomari::WideToUtf8(path)), 0, 0, ClientWidth(),
                           ClientHeight()),
              0);
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & marks, marks) << "the marks are kept";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ(folder.Count(), 2) << "no temporary file is left behind";
}

TEST_F(CaptureFilesWin32, AFailedWriteLeavesTheOldFileAndNamesFileAndReason) {
  for (int type : {tomari::kFileBmp, tomari::kFilePng, tomari::kFileJpeg}) {
    SCOPED_TRACE(::testing::Message() << "type " << type);
    rig.app.settings.CaptureFileType = type;
    const std::wstring path = DateName(type == 0 ? L".bmp" : type == 1 ? L".jpg" : L".png");
    ASSERT_TRUE(skintest::WriteBytes(path, "old picture"));
    // A viewer has the old file open and does not let it be replaced.
    HANDLE viewer = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    prompts.messages.clear();
    prompts.answers = {tomari::kIdYes};
    const tomari::CaptureResult r = rig.Capture(1, 1, 1);
    CloseHandle(viewer);
    EXPECT_EQ(r.outcome, CaptureOutcome::WriteFailed);
    EXPECT_EQ(skintest::ReadBytes(path), "old picture");
    ASSERT_EQ(prompts.messages.size(), 2u);
    const std::string& told = prompts.messages[1];
    std::string quoted;
    quoted.append("\"").append(tomari::WideToUtf8(path)).append("\"");
    const size_t at = told.find(quoted);
    ASSERT_NE(at, std::string::npos) << told;
    const std::string reason = told.substr(at + quoted.size());
    EXPECT_EQ(reason.substr(0, 2), "\r\n");
    EXPECT_GT(reason.size(), 2u) << "the reason follows the name";
    std::printf("  told: %s\n", reason.c_str() + 2);
    EXPECT_EQ(folder.Count(), 1) << "no temporary file is left behind";
    DeleteFileW(path.c_str());
  }
}

TEST_F(CaptureFilesWin32, WithoutTheLibraryJpegIsRefusedAndSaid) {
  library.Unload();
  const tomari::FileWriteResult r =
      capture.WriteJpeg(Bitmap(4, 4), tomari::WideToUtf8(DateName(L".jpg")), 90, false);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.reason.find("TransG32.dll"), std::string::npos);
  EXPECT_EQ(folder.Count(), 0);
}

}  // namespace
