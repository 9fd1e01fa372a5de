// Captures of a window of another process under Wine: the pixels and sizes of
// whole and inside pictures, the widget kept out of them, the clipboard (also
// after the capturing process has gone), and the files written and read back.
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

constexpr const wchar_t* kChildVariable = L"TOMARI_CAPTURE_CHILD_TARGET";

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

TEST_F(CaptureWin32, WholeWindowIsItsOuterRectangleWithFrameAndTitleBar) {
  ASSERT_EQ(windowRect.left, 100);
  ASSERT_EQ(windowRect.top, 50);
  Win32Capture capture(nullptr, nullptr);
  const Bitmap whole = capture.TakePicture(FromHwnd(hwnd), false);
  ASSERT_EQ(whole.width, 640);
  ASSERT_EQ(whole.height, 480);
  // A title bar above the client area, and the bars exactly where it starts.
  ASSERT_GT(clientTop, 10);
  EXPECT_EQ(CountOffBars(whole, clientLeft, clientTop, ClientWidth(), ClientHeight()), 0);
  long frame = 0;
  for (int x = 0; x < 640; ++x)
    if (whole.At(x, clientTop / 2) != BarAt(x - clientLeft)) ++frame;
  EXPECT_GT(frame, 600) << "the title bar row must not show the bars";
}

TEST_F(CaptureWin32, InsideIsTheClientAreaWithTheBarsAtTheirOffsets) {
  Win32Capture capture(nullptr, nullptr);
  const Bitmap inside = capture.TakePicture(FromHwnd(hwnd), true);
  ASSERT_EQ(inside.width, ClientWidth());
  ASSERT_EQ(inside.height, ClientHeight());
  ASSERT_LT(inside.width, 640);
  EXPECT_EQ(CountOffBars(inside, 0, 0, inside.width, inside.height), 0);
}

TEST_F(CaptureWin32, NothingOfAWindowWithoutAreaOrOfAHandleThatIsGone) {
  Win32Capture capture(nullptr, nullptr);
  const long live = tomari::gdi::LiveHandles();
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  win32test::WaitUntil([&] {
    RECT r;
    GetClientRect(hwnd, &r);
    return r.right == 0 || r.bottom == 0;
  });
  EXPECT_TRUE(capture.TakePicture(FromHwnd(hwnd), true).Empty());
  EXPECT_TRUE(capture.TakePicture(0, false).Empty());
  EXPECT_TRUE(capture.TakePicture(0x7FFFFFF0, true).Empty());
  EXPECT_EQ(tomari::gdi::LiveHandles(), live);
}

TEST_F(CaptureWin32, TheWidgetOverTheTargetIsNotInThePictureAndComesBack) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  FakeWidgetWindow widget(RECT{origin.x + 20, origin.y + 10, origin.x + 220, origin.y + 110},
                          RGB(0x12, 0x34, 0x56));
  Win32Capture capture(widget.hwnd(), nullptr);
  {
    // Without hiding, the widget is in the way: the pictures would be wrong.
    const Bitmap covered = capture.TakePicture(FromHwnd(hwnd), true);
    ASSERT_FALSE(covered.Empty());
    EXPECT_GT(CountOffBars(covered, 0, 0, covered.width, covered.height), 0);
  }
  capture.HideWidget();
  EXPECT_FALSE(IsWindowVisible(widget.hwnd()));
  const Bitmap picture = capture.TakePicture(FromHwnd(hwnd), true);
  capture.ShowWidget();
  EXPECT_TRUE(IsWindowVisible(widget.hwnd()));
  EXPECT_TRUE(GetWindowLongW(widget.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetForegroundWindow(), widget.hwnd());
  EXPECT_EQ(CountOffBars(picture, 0, 0, picture.width, picture.height), 0);
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

TEST_F(CaptureWin32, CopyPutsTheInsideOnTheClipboardOwnedByOurWidget) {
  FakeWidgetWindow widget(RECT{800, 600, 864, 632}, RGB(0, 0, 0));
  ScriptedPrompts prompts;
  Win32Capture capture(widget.hwnd(), nullptr);
  CaptureRig rig(hwnd, widget, prompts, capture);
  const long live = tomari::gdi::LiveHandles();
  EXPECT_EQ(rig.Capture(1, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(GetClipboardOwner(), widget.hwnd()) << "not the captured program's window";
  const Bitmap pasted = ClipboardBitmap();
  ASSERT_EQ(pasted.width, ClientWidth());
  ASSERT_EQ(pasted.height, ClientHeight());
  EXPECT_EQ(CountOffBars(pasted, 0, 0, pasted.width, pasted.height), 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << "programs that paste a DIB get one";
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(rig.app.Busy);
  EXPECT_EQ(tomari::gdi::LiveHandles(), live) << "the bitmap belongs to the clipboard now";

  EXPECT_EQ(rig.Capture(0, 0, -1).outcome, CaptureOutcome::Copied);
  const Bitmap whole = ClipboardBitmap();
  ASSERT_EQ(whole.width, 640);
  ASSERT_EQ(whole.height, 480);
  EXPECT_EQ(CountOffBars(whole, clientLeft, clientTop, ClientWidth(), ClientHeight()), 0);
}

TEST_F(CaptureWin32, ABusyClipboardIsLeftAloneAndTheUserIsTold) {
  ASSERT_TRUE(PutText(L"before"));
  FakeWidgetWindow widget(RECT{800, 600, 864, 632}, RGB(0, 0, 0));
  ScriptedPrompts prompts;
  Win32Capture capture(widget.hwnd(), nullptr);
  CaptureRig rig(hwnd, widget, prompts, capture);

  // Another thread holds the clipboard open until told to let go.
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    CloseClipboard();
  });
  WaitForSingleObject(opened, 5000);
  const long live = tomari::gdi::LiveHandles();
  tomari::CaptureResult result;
  const double ms = win32test::ElapsedMs([&] { result = rig.Capture(1, 0, -1); });
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);

  EXPECT_EQ(result.outcome, CaptureOutcome::ClipboardUnavailable);
  EXPECT_LT(ms, 3000.0) << "a held clipboard must not freeze the widget";
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("クリップボード"), std::string::npos);
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(tomari::gdi::LiveHandles(), live) << "the unused bitmap is released";
}

// Run by the next test in a process of its own: copies the target's inside
// and ends, so the parent can paste after the capturing program is gone.
TEST(CaptureClipboardChild, DISABLED_CopiesTheTargetAndExits) {
  wchar_t value[32] = L"";
  if (!GetEnvironmentVariableW(kChildVariable, value, 32)) GTEST_SKIP();
  HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoul(value, nullptr, 16)));
  FakeWidgetWindow widget(RECT{800, 600, 864, 632}, RGB(0, 0, 0));
  Win32Capture capture(widget.hwnd(), nullptr);
  const Bitmap picture = capture.TakePicture(FromHwnd(target), true);
  ASSERT_FALSE(picture.Empty());
  ASSERT_TRUE(capture.CopyToClipboard(picture, widget.Handle()));
}

TEST_F(CaptureWin32, TheCopiedPictureStaysAfterTheCapturingProgramHasEnded) {
  ASSERT_TRUE(PutText(L"before"));
  wchar_t value[32];
  swprintf(value, 32, L"%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
  SetEnvironmentVariableW(kChildVariable, value);
  std::wstring command = L"\"" + win32test::TestBinDir() +
                         L"win32_tests.exe\" --gtest_also_run_disabled_tests "
                         L"--gtest_filter=CaptureClipboardChild.DISABLED_CopiesTheTargetAndExits";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  SetEnvironmentVariableW(kChildVariable, nullptr);
  // Keep answering our own messages while the child runs.
  DWORD exitCode = 1;
  const bool ended = win32test::WaitUntil(
      [&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 20000);
  GetExitCodeProcess(pi.hProcess, &exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(ended);
  ASSERT_EQ(exitCode, 0u);

  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  const Bitmap pasted = ClipboardBitmap();
  ASSERT_EQ(pasted.width, ClientWidth());
  ASSERT_EQ(pasted.height, ClientHeight());
  EXPECT_EQ(CountOffBars(pasted, 0, 0, pasted.width, pasted.height), 0);
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

TEST_F(CaptureFilesWin32, DateNamedBmpHasTheExactLayoutAndPixels) {
  const tomari::CaptureResult r = rig.Capture(1, 1, 1);
  ASSERT_EQ(r.outcome, CaptureOutcome::Saved);
  EXPECT_EQ(r.path, tomari::WideToUtf8(DateName(L".bmp")));
  const std::string bytes = skintest::ReadBytes(DateName(L".bmp"));
  const size_t row = tomari::BmpRowSize(ClientWidth());
  ASSERT_EQ(bytes.size(), 58 + row * ClientHeight());
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bytes[10]), 58);
  // Bottom row first: its first pixel is red (blue, green, red bytes).
  EXPECT_EQ(bytes.substr(58, 3), std::string("\x00\x00\xFF", 3));
  const Bitmap back = decoder.Decode(r.path);
  ASSERT_EQ(back.width, ClientWidth());
  ASSERT_EQ(back.height, ClientHeight());
  EXPECT_EQ(CountOffBars(back, 0, 0, back.width, back.height), 0);
  EXPECT_EQ(folder.Count(), 1) << "no temporary file is left behind";
}

TEST_F(CaptureFilesWin32, DateNamedPngIsExactAndJpegIsClose) {
  rig.app.settings.CaptureFileType = tomari::kFilePng;
  ASSERT_EQ(rig.Capture(0, 1, 1).outcome, CaptureOutcome::Saved);
  const Bitmap png = decoder.Decode(tomari::WideToUtf8(DateName(L".png")));
  ASSERT_EQ(png.width, 640);
  ASSERT_EQ(png.height, 480);
  EXPECT_EQ(CountOffBars(png, clientLeft, clientTop, ClientWidth(), ClientHeight()), 0);

  rig.app.settings.CaptureFileType = tomari::kFileJpeg;
  rig.app.settings.CaptureJpegValue = 95;
  ASSERT_EQ(rig.Capture(1, 1, 1).outcome, CaptureOutcome::Saved);
  const std::string jpegBytes = skintest::ReadBytes(DateName(L".jpg"));
  ASSERT_GT(jpegBytes.size(), 2u);
  EXPECT_EQ(jpegBytes.substr(0, 2), "\xFF\xD8");
  const Bitmap jpeg = decoder.Decode(tomari::WideToUtf8(DateName(L".jpg")));
  ASSERT_EQ(jpeg.width, ClientWidth());
  ASSERT_EQ(jpeg.height, ClientHeight());
  for (int x = 8; x + 8 < jpeg.width; x += 16) {
    const tomari::Pixel got = jpeg.At(x, jpeg.height / 2), want = BarAt(x);
    for (int shift : {0, 8, 16}) {
      const int d =
          static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF);
      EXPECT_LE(std::abs(d), 24) << "bar at x " << x;
    }
  }
  EXPECT_EQ(folder.Count(), 2);
}

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

TEST_F(CaptureFilesWin32, AReadOnlyFileOrAMissingFolderIsReportedNotWritten) {
  ASSERT_TRUE(skintest::WriteBytes(DateName(L".bmp"), "keep me"));
  SetFileAttributesW(DateName(L".bmp").c_str(), FILE_ATTRIBUTE_READONLY);
  prompts.answers = {tomari::kIdYes};
  EXPECT_EQ(rig.Capture(1, 1, 1).outcome, CaptureOutcome::WriteFailed);
  SetFileAttributesW(DateName(L".bmp").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(skintest::ReadBytes(DateName(L".bmp")), "keep me");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_NE(prompts.messages[1].find("読み取り専用"), std::string::npos) << prompts.messages[1];

  prompts.messages.clear();
  rig.app.settings.CaptureSaveFolder = folder.Utf8(L"missing\\");
  EXPECT_EQ(rig.Capture(1, 1, 1).outcome, CaptureOutcome::WriteFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("missing"), std::string::npos) << prompts.messages[0];
  EXPECT_FALSE(skintest::FileExists(folder / L"missing"));
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
