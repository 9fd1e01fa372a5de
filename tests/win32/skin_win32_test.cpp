// Skins on a real widget window under Wine: the outline, cursors, and
// switching skins without leaks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "commands/widget_face.h"
#include "skin/skin.h"
#include "support/image_bytes.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_clock.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_locale.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_prompts.h"
#include "win32/ports/win_screen.h"
#include "win32/ports/win_shell.h"
#include "win32/ports/win_windows.h"
#include "win32/skin_test_files.h"
#include "win32/widget_window.h"

namespace {

using skintest::TempFolder;
using tomari::Bitmap;
using tomari::MakePixel;
using tomari::Pixel;
namespace bytes = tomari::imagebytes;

constexpr Pixel kKey = MakePixel(255, 0, 255);

// A 32 x 32 monochrome cursor file: an arrow-ish block with its hot spot at (2, 3).
std::string CursorFile() {
  std::string s;
  bytes::Le16(s, 0);
  bytes::Le16(s, 2);  // cursor
  bytes::Le16(s, 1);
  s += '\x20';
  s += '\x20';
  s += '\0';
  s += '\0';
  bytes::Le16(s, 2);  // hot spot
  bytes::Le16(s, 3);
  bytes::Le32(s, 40 + 8 + 128 + 128);
  bytes::Le32(s, 22);
  bytes::Le32(s, 40);
  bytes::Le32(s, 32);
  bytes::Le32(s, 64);  // colour and mask halves
  bytes::Le16(s, 1);
  bytes::Le16(s, 1);
  for (int i = 0; i < 6; ++i) bytes::Le32(s, 0);
  bytes::Le32(s, 0x000000);
  bytes::Le32(s, 0xFFFFFF);
  for (int y = 0; y < 32; ++y) bytes::Le32(s, y < 16 ? 0x0000FFFFu : 0);            // colour
  for (int y = 0; y < 32; ++y) bytes::Le32(s, y < 16 ? 0xFFFF0000u : 0xFFFFFFFFu);  // mask
  return s;
}

TEST(SkinCursors, FileCursorsAreOursSystemCursorsNeverDestroyed) {
  TempFolder folder;
  ASSERT_TRUE(skintest::WriteBytes(folder / L"pen.cur", CursorFile()));
  ASSERT_TRUE(skintest::WriteBytes(folder / L"fake.cur", bytes::EncodeBmp24(Bitmap(4, 4, 1))));
  tomari::Win32CursorLoader cursors;
  const tomari::CursorHandle arrow = cursors.LoadSystem(tomari::kCursorArrow);
  EXPECT_EQ(arrow, reinterpret_cast<tomari::CursorHandle>(LoadCursorW(nullptr, IDC_ARROW)));
  EXPECT_NE(cursors.LoadSystem(32649), 0u);  // HAND

  const tomari::CursorHandle pen = cursors.LoadFromFile(folder.Utf8(L"pen.cur"));
  EXPECT_NE(pen, 0u);
  EXPECT_EQ(cursors.LiveFileCursors(), 1u);
  EXPECT_EQ(cursors.LoadFromFile(folder.Utf8(L"missing.cur")), 0u);
  EXPECT_EQ(cursors.LoadFromFile(folder.Utf8(L"fake.cur")), 0u);
  EXPECT_EQ(cursors.LiveFileCursors(), 1u);

  cursors.Destroy(arrow);  // not ours: ignored
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(reinterpret_cast<HCURSOR>(arrow), &info));
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  cursors.Show(pen);
  cursors.Destroy(pen);
  EXPECT_EQ(cursors.LiveFileCursors(), 0u);
  cursors.Show(arrow);
}

// The widget window and every port, as the program holds them.
class SkinWindowTest : public ::testing::Test, public tomari::WidgetEvents {
 protected:
  SkinWindowTest()
      : widget(*this), decoder(&library), ports{windows, screen,  widget, files,  clock,   codec,
              decoder, cursors, locale, shell, prompts, capture, texts, textClipboard, directory} {}
  void SetUp() override {
    ASSERT_TRUE(widget.Create(GetModuleHandleW(nullptr), 150, 20));
    widget.Show();
    app.skin.StartupFolder = folder.Utf8();
  }
  void OnTrackingTimer() override {}
  void OnSettingChange() override {}
  void OnHoverTimer() override {}
  void OnPointerPress(int, int, int, int) override {}
  void OnPointerMove(int, int, int, int) override {}
  void OnPointerRelease(int, int, int, int) override {}
  void OnCloseRequest() override {}

  void Apply(const std::string& skinPath) {
    app.settings.MainSkin = skinPath;
    tomari::ApplySkin(app, ports);
    win32test::Pump(50);
  }
  SIZE WindowSize() {
    RECT r{};
    GetWindowRect(widget.hwnd(), &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  // Whether the window's region holds exactly the pixels that are not `key`.
  void ExpectRegionMatches(const Bitmap& back, Pixel key) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(widget.hwnd(), region), ERROR);
    int mismatches = 0;
    for (int y = 0; y < back.height; ++y)
      for (int x = 0; x < back.width; ++x)
        if ((PtInRegion(region, x, y) != FALSE) != (back.At(x, y) != key) && ++mismatches < 10)
          ADD_FAILURE() << "pixel " << x << "," << y;
    DeleteObject(region);
    EXPECT_EQ(mismatches, 0);
  }
  void WriteSkin(const std::wstring& name, const std::string& utf8) {
    std::string ansi;
    ASSERT_TRUE(codec.ToAnsi(utf8, ansi));
    ASSERT_TRUE(skintest::WriteBytes(folder / name, ansi));
  }

  TempFolder folder;
  tomari::App app;
  tomari::Win32WindowSystem windows;
  tomari::Win32Screen screen;
  tomari::Win32FileSystem files;
  tomari::Win32Clock clock;
  tomari::Win32TextCodec codec;
  tomari::Win32Widget widget;
  tomari::ImageLibrary library;
  tomari::Win32ImageDecoder decoder;
  tomari::Win32CursorLoader cursors;
  tomari::Win32Locale locale;
  tomari::Win32Shell shell;
  tomari::Win32Prompts prompts;
  tomari::Win32Capture capture{nullptr, nullptr};
  tomari::Win32WindowTexts texts;
  tomari::Win32TextClipboard textClipboard{0};
  tomari::Win32Directory directory;
  tomari::Ports ports;
};

// A rounded badge: key colour in the corners and a hole in the middle.
Bitmap Badge(int w, int h) {
  Bitmap b(w, h, MakePixel(40, 60, 90));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
      if (dx + dy < 3) b.At(x, y) = kKey;
    }
  b.At(w / 2, h / 2) = kKey;
  b.At(w - 1, h / 2) = MakePixel(255, 0, 254);  // one off the key: opaque
  return b;
}

TEST_F(SkinWindowTest, TheWidgetTakesTheSizeAndOutlineOfTheBackImageOrIsPlainWithout) {
  const Bitmap back = Badge(41, 17);
  ASSERT_TRUE(skintest::WriteBytes(folder / L"back.bmp", bytes::EncodeBmp24(back)));
  WriteSkin(L"badge.tsk", "[Skin]\nBackColor=#FF00FF\nBack=back.bmp\nName=バッジ\n");
  Apply(folder.Utf8(L"badge.tsk"));
  ASSERT_TRUE(app.skin.loaded);
  const SIZE size = WindowSize();
  EXPECT_EQ(size.cx, 41);
  EXPECT_EQ(size.cy, 17);
  ExpectRegionMatches(back, kKey);

  // A skin that is gone: the plain label widget, without the old outline.
  Apply(folder.Utf8(L"gone.tsk"));
  EXPECT_FALSE(app.skin.loaded);
  EXPECT_EQ(WindowSize().cx, 150);
  EXPECT_EQ(WindowSize().cy, 20);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(widget.hwnd(), region), ERROR) << "no region: the plain rectangle";
  DeleteObject(region);
}

TEST_F(SkinWindowTest, SwitchingMapAndRectangleSkinsTenTimesLeaksNothing) {
  const Bitmap back = Badge(30, 12);
  Bitmap map(30, 12, 0);
  for (int x = 5; x < 12; ++x)
    for (int y = 3; y < 9; ++y) map.At(x, y) = MakePixel(255, 0, 0);
  ASSERT_TRUE(skintest::WriteBytes(folder / L"back.bmp", bytes::EncodeBmp24(back)));
  ASSERT_TRUE(skintest::WriteBytes(folder / L"map.png", bytes::EncodePng(map)));
  ASSERT_TRUE(skintest::WriteBytes(folder / L"float.png", bytes::EncodePng(Bitmap(30, 12, 7))));
  ASSERT_TRUE(skintest::WriteBytes(folder / L"pen.cur", CursorFile()));
  WriteSkin(L"map.tsk",
            "[Skin]\nBackColor=#FF00FF\nBack=back.bmp\nMap=map.png\nFloat=float.png\n"
            "[Button01]\nType=NONE\nColor=Red\nCursor=pen.cur\n[Button02]\nType=NONE\n"
            "Color=Red\nCursor=hand\n");
  WriteSkin(L"rect.tsk",
            "[Skin]\nBack=back.bmp\nFloat=float.png\n[Button01]\nType=NONE\nLeft=2\nTop=2\n"
            "Width=8\nHeight=8\nCursor=pen.cur\n");
  // The PNGs go through TransG32.dll when it is there, as in the program.
  ASSERT_TRUE(CopyFileW((skintest::DistDir() + L"TransG32.dll").c_str(),
                        (folder / L"TransG32.dll").c_str(), FALSE));
  app.facts.HasImageLibrary = library.Load(folder.Utf8());
  ASSERT_TRUE(app.facts.HasImageLibrary);

  const long gdiBefore = tomari::gdi::LiveHandles();
  const size_t cursorsBefore = cursors.LiveFileCursors();
  for (int i = 0; i < 10; ++i) {
    const bool mapSkin = i % 2 == 0;
    Apply(folder.Utf8(mapSkin ? L"map.tsk" : L"rect.tsk"));
    ASSERT_TRUE(app.skin.loaded);
    EXPECT_EQ(app.skin.IsMapSkin(), mapSkin);
    EXPECT_EQ(cursors.LiveFileCursors(), cursorsBefore + 1);
    EXPECT_EQ(tomari::gdi::LiveHandles(), gdiBefore);
  }
  tomari::FreeSkin(app.skin, cursors);
  EXPECT_EQ(cursors.LiveFileCursors(), cursorsBefore);
  EXPECT_EQ(tomari::gdi::LiveHandles(), gdiBefore);
}

}  // namespace
