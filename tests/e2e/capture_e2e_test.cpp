// Capturing the window the widget sits on, from a skin button and from the
// popup menu, under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr int kCaptureAll = 3;  // Button03 of the Default skin

std::vector<std::wstring> Files(const std::wstring& dir, const wchar_t* pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

// The size of the bitmap on the clipboard, or {0, 0}.
SIZE ClipboardBitmapSize() {
  SIZE size{0, 0};
  if (!OpenClipboard(nullptr)) return size;
  if (HBITMAP bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    if (GetObjectW(bmp, sizeof(info), &info)) size = {info.bmWidth, info.bmHeight};
  }
  CloseClipboard();
  return size;
}

void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

}  // namespace

TEST(Capture, TheCaptureButtonWritesOneDateNamedBitmapIntoTheSaveFolder) {
  Process p;
  HWND t = StartTarget(p, L"--title \"Capture me\" --rect 200,200,320,240");
  ASSERT_TRUE(t);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"capture-date",
                        "[Capture]\r\nType=1\r\nSaveType=1\r\nSaveFolder={DIR}caps\r\n"));
  const std::wstring caps = run.dir + L"caps\\";
  ASSERT_TRUE(CreateDirectoryW(caps.c_str(), nullptr));
  ASSERT_TRUE(PerchedOn(run.widget, t));

  POINT button = SkinButtonCentre(run.widget, run.dir, kCaptureAll);
  Click(button.x, button.y);
  std::vector<std::wstring> files;
  EXPECT_TRUE(WaitUntil([&] { return !(files = Files(caps, L"*.bmp")).empty(); }, 5000));
  SaveScreenshot(L"capture-date");
  Pump(500);
  files = Files(caps, L"*.*");
  files.erase(std::remove_if(files.begin(), files.end(),
                             [](const std::wstring& f) { return f == L"." || f == L".."; }),
              files.end());
  ASSERT_EQ(files.size(), 1u);
  // yyyy_mm_dd_hh_mm_ss.bmp
  EXPECT_EQ(files[0].size(), 23u) << Narrow(files[0]);
  EXPECT_EQ(files[0].substr(19), L".bmp");
  const std::string bytes = ReadFileBytes(caps + files[0]);
  ASSERT_GE(bytes.size(), 58u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  RECT tr = WindowRect(t);
  int32_t width = 0, height = 0;
  memcpy(&width, bytes.data() + 18, 4);
  memcpy(&height, bytes.data() + 22, 4);
  EXPECT_EQ(width, tr.right - tr.left);
  EXPECT_EQ(height, tr.bottom - tr.top);
  // The widget is back, and the user's window kept the keyboard.
  EXPECT_TRUE(IsWindowVisible(run.widget));
  EXPECT_EQ(GetForegroundWindow(), t);
  EXPECT_TRUE(run.Close());
}

TEST(Capture, CopyPutsTheWindowOnTheClipboardFromTheButtonAndFromTheMenu) {
  Process p;
  HWND t = StartTarget(p, L"--title \"Copy me\" --rect 220,240,300,200");
  ASSERT_TRUE(t);
  TomariRun run;
  ASSERT_TRUE(run.Start(L"capture-copy"));
  ASSERT_TRUE(PerchedOn(run.widget, t));
  RECT tr = WindowRect(t);
  RECT client{};
  GetClientRect(t, &client);

  EmptyTheClipboard();
  POINT button = SkinButtonCentre(run.widget, run.dir, kCaptureAll);
  Click(button.x, button.y);
  SIZE size{};
  EXPECT_TRUE(WaitUntil([&] { return (size = ClipboardBitmapSize()).cx != 0; }, 5000));
  EXPECT_EQ(size.cx, tr.right - tr.left);
  EXPECT_EQ(size.cy, tr.bottom - tr.top);

  // Menu: ウインドウ(&W) > 画面キャプチャ(&C) > ウインドウ内部(&C): the inside only.
  EmptyTheClipboard();
  RECT w = WindowRect(run.widget);
  Click(w.left + 5, w.top + (w.bottom - w.top) / 2, 2);
  ASSERT_TRUE(WaitForWindow(0, L"#32768", 3000));
  for (WORD key : {WORD('W'), WORD('C'), WORD('C')}) {
    TapKey(key);
    Pump(150);
  }
  // Two items share &C in the capture submenu: the first press selects, Enter runs.
  if (WaitForWindow(0, L"#32768", 300)) TapKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return (size = ClipboardBitmapSize()).cx != 0; }, 5000));
  EXPECT_EQ(size.cx, client.right);
  EXPECT_EQ(size.cy, client.bottom);
  EXPECT_TRUE(run.Close());
}
