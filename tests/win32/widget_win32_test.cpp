// The widget window over the real system: its close messages, its shape and
// face, and captures of another process's window beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/image_bytes.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_windows.h"
#include "win32/widget_window.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using namespace win32test;
namespace bytes = imagebytes;

class RealWidget : public ::testing::Test, public WidgetEvents {
 protected:
  RealWidget() : widget(*this) {}
  void SetUp() override {
    ASSERT_TRUE(widget.Create(GetModuleHandleW(nullptr), 150, 20));
    widget.MoveTo(200, 150, false);
    widget.Show();
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

  int closes = 0, destroyed = 0;
  bool closeThrows = false;
  Win32Widget widget;
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

TEST_F(RealWidget, TheShapeIsExactlyItsRunsAndFacesAndShapesLeakNothing) {
  // A badge with a hole: runs of opaque pixels, as the skin gives them.
  const WidgetShape badge{false,
                          {{2, 0, 39, 2},
                           {0, 2, 41, 8},
                           {0, 8, 20, 9},
                           {21, 8, 41, 9},
                           {0, 9, 41, 15},
                           {2, 15, 39, 17}}};
  const long before = gdi::LiveHandles();
  for (int i = 0; i < 10; ++i) {  // the badge last
    widget.SetSize(i % 2 ? 41 : 150, i % 2 ? 17 : 20);
    widget.SetShape(i % 2 ? badge : WidgetShape{});
    widget.Present(i % 2 ? Bitmap(41, 17, MakePixel(40, 60, 90)) : Bitmap());
    widget.SetLabel("トマリギ");
    widget.SetToolTip(i % 2 ? "ボタン" : "");
    Pump(50);  // painted
    EXPECT_EQ(gdi::LiveHandles(), before);
  }
  const RECT r = WindowRect(hwnd());
  EXPECT_EQ((r.right - r.left) * 1000 + r.bottom - r.top, 41017);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd(), region), ERROR);
  int wrong = 0;
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 41; ++x) {
      bool inRun = false;
      for (const Rect& run : badge.runs)
        inRun |= x >= run.left && x < run.right && y >= run.top && y < run.bottom;
      wrong += (PtInRegion(region, x, y) != FALSE) != inRun;
    }
  EXPECT_EQ(wrong, 0);
  widget.SetShape(WidgetShape{});
  EXPECT_EQ(GetWindowRgn(hwnd(), region), ERROR) << "no region: the plain rectangle";
  DeleteObject(region);
}

// target_app.exe paints vertical bars of these colours, 16 pixels each.
long CountOffBars(const Bitmap& picture, int left, int top, int width, int height) {
  static const Pixel kBars[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                 0x00FFFF, 0xFF00FF, 0x000000, 0xFFFFFF};
  long off = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      off += picture.At(x, y) != kBars[((x - left) / 16) % 8];
  return off;
}

TEST_F(RealWidget, CapturesShowTheWindowWithoutTheWidgetOnTheClipboardAndInFiles) {
  Target target;
  ASSERT_TRUE(target.Start(L"--rect 100,50,640,480"));
  const HWND t = target.hwnd();
  RECT client{};
  GetClientRect(t, &client);
  POINT origin{0, 0};
  ClientToScreen(t, &origin);
  const int left = origin.x - 100, top = origin.y - 50;
  TempFolder app;
  ASSERT_TRUE(
      CopyFileW((DistDir() + L"TransG32.dll").c_str(), (app / L"TransG32.dll").c_str(), FALSE));
  ImageLibrary library;
  ASSERT_TRUE(library.Load(app.Utf8()));
  Win32Capture capture(hwnd(), &library);
  Win32ImageDecoder images;
  widget.MoveTo(origin.x + 20, origin.y + 10, true);  // over the window's inside
  Pump(100);
  const long live = gdi::LiveHandles();
  // Once hidden, the widget is not in the picture: the inside is the bars alone.
  capture.HideWidget();
  Bitmap inside;
  EXPECT_TRUE(WaitUntil([&] {
    inside = capture.TakePicture(FromHwnd(t), true);
    return !inside.Empty() && CountOffBars(inside, 0, 0, inside.width, inside.height) == 0;
  }));
  const Bitmap whole = capture.TakePicture(FromHwnd(t), false);
  capture.ShowWidget();
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_EQ(inside.width * 1000 + inside.height, client.right * 1000 + client.bottom);
  // Whole: the outer rectangle, with a title bar above the bars.
  ASSERT_EQ(whole.width * 1000 + whole.height, 640480);
  EXPECT_EQ(CountOffBars(whole, left, top, client.right, client.bottom), 0);
  EXPECT_GT(CountOffBars(whole, left, top / 2, 640 - left, 1), 500) << "the title bar row";

  EXPECT_TRUE(capture.CopyToClipboard(whole, FromHwnd(hwnd())));
  EXPECT_EQ(GetClipboardOwner(), hwnd()) << "not the captured program's window";
  EXPECT_EQ(ClipboardBitmap().pixels, whole.pixels);
  EXPECT_EQ(gdi::LiveHandles(), live) << "the bitmap belongs to the clipboard now";
  // Another thread holds the clipboard: refused, and nothing is left behind.
  ClearClipboard();
  std::atomic<int> step = 0;
  std::thread holder([&] {
    OpenClipboard(nullptr);
    step = 1;
    while (step == 1) Sleep(10);
    CloseClipboard();
  });
  ASSERT_TRUE(WaitUntil([&] { return step == 1; }));
  EXPECT_FALSE(capture.CopyToClipboard(whole, FromHwnd(hwnd())));
  step = 2;
  holder.join();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(gdi::LiveHandles(), live) << "the unused bitmap is released";

  // Files of each type read back as the picture; one that cannot be replaced
  // is kept, and the reason is told.
  TempFolder out;
  const std::string bmp = bytes::EncodeBmp24(inside);
  for (const wchar_t* name : {L"a.bmp", L"a.jpg", L"a.png"}) {
    SCOPED_TRACE(WideToUtf8(name));
    const bool jpeg = name[2] == L'j';
    auto write = [&] {
      const std::string path = out.Utf8(name);
      return jpeg              ? capture.WriteJpeg(inside, path, 90, false)
             : name[2] == L'p' ? capture.WritePng(inside, path, 0)
                               : capture.WriteFile(path, bmp);
    };
    ASSERT_TRUE(WriteBytes(out / name, "old"));
    const FileWriteResult written = write();
    EXPECT_TRUE(written.ok && written.reason.empty()) << written.reason;
    const Bitmap saved = images.Decode(out.Utf8(name));
    ASSERT_EQ(saved.width * 1000 + saved.height, client.right * 1000 + client.bottom);
    EXPECT_EQ(jpeg ? 0 : CountOffBars(saved, 0, 0, client.right, client.bottom), 0);
    ASSERT_TRUE(WriteBytes(out / name, "old"));
    HANDLE viewer = CreateFileW((out / name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    const FileWriteResult refused = write();
    CloseHandle(viewer);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.reason, "");
    EXPECT_EQ(ReadBytes(out / name), "old");
  }
  EXPECT_EQ(out.Count(), 3) << "no temporary file is left behind";
  EXPECT_TRUE(capture.TakePicture(0x7FFFFFF0, true).Empty()) << "a handle that is gone";
}

}  // namespace
}  // namespace tomari
