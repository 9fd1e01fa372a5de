// Reading whole .tsk files (Shift-JIS, as users write them) into SkinData, and
// putting the result on the widget.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "app/app.h"
#include "commands/menu_handlers.h"
#include "commands/widget_face.h"
#include "skin/skin.h"
#include "support/fake_directory.h"
#include "support/fake_text_grab.h"
#include "support/fake_capture.h"
#include "support/fake_codec.h"
#include "support/fake_prompts.h"
#include "support/fake_shell.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"
#include "support/fake_locale.h"

namespace tomari {
namespace {

using test::FakeCodec;

// Records what ApplySkin asks of the widget.
class SkinWidget : public WidgetWindow {
 public:
  WindowHandle Handle() override { return 0x100; }
  Rect GetRect() override { return {0, 0, width, height}; }
  void MoveTo(int, int, bool) override {}
  void SetTopMost(bool) override {}
  void Redraw() override {}
  void SetSize(int w, int h) override {
    width = w;
    height = h;
  }
  void SetShape(const WidgetShape& s) override { shape = s; }
  void Present(const Bitmap& f) override {
    face = f;
    ++presents;
  }
  void SetLabel(const std::string& t) override { label = t; }
  void SetToolTip(const std::string&) override {}
  void SetWidgetCursor(CursorHandle) override {}

  int width = -1;
  int height = -1;
  WidgetShape shape;
  Bitmap face;
  int presents = 0;
  std::string label = "unset";
};

constexpr Pixel kKey = MakePixel(255, 0, 255);

// Runs out of memory on one file.
class ShakyDecoder : public test::FakeImageDecoder {
 public:
  Bitmap Decode(const std::string& path) override {
    if (path == throwOn) throw std::bad_alloc();
    return FakeImageDecoder::Decode(path);
  }
  std::string throwOn;
};

class SkinLoadTest : public ::testing::Test {
 protected:
  SkinLoadTest()
      : ports{desktop, desktop, widget, fs,      clock,   codec,
              decoder, cursors, locale, shell, prompts, capture, texts, textClipboard, directory} {
    app.facts.AppFolder = "C:\\Tomari\\";
    app.skin.StartupFolder = "C:\\Tomari\\";
    app.settings.MainSkin = kSkin;
  }

  // Writes a skin file in Shift-JIS, CRLF line ends.
  void WriteSkin(const std::string& path, const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    fs.Put(path, FakeCodec::Sjis(crlf));
  }
  // A picture file that the fake loader decodes.
  void Picture(const std::string& path, const Bitmap& pixels) {
    fs.Put(path, "BM");
    decoder.AddPicture(path, pixels);
  }
  bool Load(std::int64_t pixelBudget = kMaxSkinPixels) {
    FreeSkin(app.skin, cursors);
    const SkinSource source{app.settings.MainSkin, app.skin.StartupFolder,
                            app.facts.HasImageLibrary, pixelBudget};
    return LoadSkin(source, app.skin, SkinPorts{fs, codec, decoder, cursors});
  }

  static constexpr const char* kFolder = "C:\\Tomari\\Skins\\Test\\";
  static constexpr const char* kSkin = "C:\\Tomari\\Skins\\Test\\Test.tsk";

  test::FakeFileSystem fs;
  FakeCodec codec;
  ShakyDecoder decoder;
  test::FakeCursorLoader cursors;
  test::FakeDesktop desktop;
  test::FakeClock clock;
  SkinWidget widget;
  test::FakeLocale locale;
  test::FakeShell shell;
  test::FakePrompts prompts;
  test::FakeCapture capture{fs};
  test::FakeWindowTexts texts;
  test::FakeClipboard textClipboard;
  test::FakeDirectory directory;
  Ports ports;
  App app;
};

// A 6 x 2 Back image with key-coloured top corners; each state image is one
// colour, so a cut shows where it came from.
Bitmap BackImage() {
  Bitmap b(6, 2, MakePixel(10, 10, 10));
  b.At(0, 0) = kKey;
  b.At(5, 0) = kKey;
  return b;
}

TEST_F(SkinLoadTest, MinimalSkinTakesEveryDefault) {
  WriteSkin(kSkin, "[Skin]\nBack=back.bmp\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Load();
  const SkinData& s = app.skin;
  EXPECT_TRUE(s.loaded);
  EXPECT_EQ(s.folder, kFolder);
  EXPECT_EQ(s.BackColor, kNoColor);
  EXPECT_EQ(s.Back().pixels, BackImage().pixels);
  EXPECT_TRUE(s.Map.Empty());
  EXPECT_FALSE(s.IsMapSkin());
  EXPECT_TRUE(s.Buttons.empty());
}

TEST_F(SkinLoadTest, SectionAndKeyNamesIgnoreCase) {
  WriteSkin(kSkin,
            "[SKIN]\nbackcolor=White\nBACK=back.bmp\n[button01]\ntype=none\nLEFT=1\nwidth=2\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Load();
  EXPECT_EQ(app.skin.BackColor, 16777215);
  EXPECT_FALSE(app.skin.Back().Empty());
  ASSERT_EQ(app.skin.Buttons.size(), 1u);
  EXPECT_EQ(app.skin.Buttons[0].Rectangle.left, 1);
  EXPECT_EQ(app.skin.Buttons[0].Rectangle.right, 3);
}

TEST_F(SkinLoadTest, ButtonListEndsAtTheFirstMissingOrEmptyType) {
  WriteSkin(kSkin,
            "[Skin]\n[Button01]\nType=A\n[Button02]\nType=B\n[Button03]\nType=C\n"
            "[Button05]\nType=E\n");
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 3u);
  EXPECT_EQ(app.skin.Buttons[2].Type, "C");

  WriteSkin(kSkin, "[Skin]\nBack=back.bmp\n[Button01]\nType=\n[Button02]\nType=B\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Load();
  EXPECT_TRUE(app.skin.loaded);
  EXPECT_TRUE(app.skin.Buttons.empty());
  EXPECT_FALSE(app.skin.Back().Empty());
}

TEST_F(SkinLoadTest, AtMostNinetyNineButtons) {
  std::string text = "[Skin]\n";
  for (int n = 1; n <= 100; ++n) {
    char section[16];
    std::snprintf(section, sizeof section, "[Button%02d]\n", n);
    text += section;
    text += "Type=NONE\n";
  }
  WriteSkin(kSkin, text);
  Load();
  EXPECT_EQ(app.skin.Buttons.size(), 99u);
}

TEST_F(SkinLoadTest, TypeIsUpperCasedValueAndToolTipAreKept) {
  WriteSkin(kSkin,
            "[Skin]\n[Button01]\nType=captureAll\nValue=DateSave\nToolTip=ウインドウを撮る\n"
            "[Button02]\nType=全体複写\nValue=c:\\Mixed Case\\x\n");
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 2u);
  EXPECT_EQ(app.skin.Buttons[0].Type, "CAPTUREALL");
  EXPECT_EQ(app.skin.Buttons[0].Value, "DateSave");
  EXPECT_EQ(app.skin.Buttons[0].ToolTip, "ウインドウを撮る");
  EXPECT_EQ(app.skin.Buttons[1].Type, "全体複写");
  EXPECT_EQ(app.skin.Buttons[1].Value, "c:\\Mixed Case\\x");
}

TEST_F(SkinLoadTest, LongValuesAreCutAt127Bytes) {
  const std::string longTip(200, 'x');
  // 100 two-byte characters: the cut may not split one.
  std::string japanese;
  for (int i = 0; i < 100; ++i) japanese += "あ";
  WriteSkin(kSkin,
            "[Skin]\n[Button01]\nType=NONE\nToolTip=" + longTip + "\nValue=" + japanese + "\n");
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 1u);
  EXPECT_EQ(app.skin.Buttons[0].ToolTip, std::string(127, 'x'));
  std::string expected;
  for (int i = 0; i < 63; ++i) expected += "あ";
  EXPECT_EQ(app.skin.Buttons[0].Value, expected);
}

TEST_F(SkinLoadTest, RectangleButtonDefaultsToANoughtByNoughtButton) {
  WriteSkin(kSkin, "[Skin]\nBack=back.bmp\nFloat=float.bmp\n[Button01]\nType=NONE\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Picture(std::string(kFolder) + "float.bmp", Bitmap(6, 2, 1));
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 1u);
  const SkinButton& b = app.skin.Buttons[0];
  EXPECT_EQ(b.Rectangle, (Rect{-1, -1, -1, -1}));
  EXPECT_EQ(b.Color, kNoColor);
  EXPECT_EQ(b.Cursor, test::FakeCursorLoader::SystemHandle(kCursorArrow));
  EXPECT_FALSE(b.CursorOwned);
  EXPECT_TRUE(b.ToolTip.empty());
  EXPECT_TRUE(b.Value.empty());
  for (const SkinImage& look : b.Images) EXPECT_TRUE(look.Empty());
}

TEST_F(SkinLoadTest, RectangleSkinCutsButtonsAndDropsTheGlobalStateImages) {
  WriteSkin(kSkin,
            "[Skin]\nBackColor=#FF00FF\nBack=back.bmp\nFloat=f.bmp\nDown=d.bmp\n"
            "Unavailable=u.bmp\nAvailable=a.bmp\n"
            "[Button01]\nType=NONE\nLeft=1\nTop=0\nWidth=2\nHeight=2\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  const char* files[] = {"f.bmp", "d.bmp", "u.bmp", "a.bmp"};
  for (int i = 0; i < 4; ++i)
    Picture(std::string(kFolder) + files[i], Bitmap(6, 2, static_cast<Pixel>(i + 1)));
  Load();
  const SkinData& s = app.skin;
  EXPECT_EQ(s.BackColor, 0xFF00FF);
  for (int state = kStateFloat; state < kButtonStateCount; ++state)
    EXPECT_TRUE(s.Images[state].Empty()) << state;
  ASSERT_EQ(s.Buttons.size(), 1u);
  const SkinButton& b = s.Buttons[0];
  EXPECT_EQ(b.Rectangle, (Rect{1, 0, 3, 2}));
  EXPECT_EQ(b.Images[kStateBack].pixels,
            (std::vector<Pixel>{MakePixel(10, 10, 10), MakePixel(10, 10, 10), MakePixel(10, 10, 10),
                                MakePixel(10, 10, 10)}));
  for (int state = kStateFloat; state < kButtonStateCount; ++state)
    EXPECT_EQ(b.Images[state].pixels, std::vector<Pixel>(4, static_cast<Pixel>(state)));
}

TEST_F(SkinLoadTest, PerButtonImagesComeFromTheStartupFolderBeforeTheSkinFolder) {
  // The same name as a per-button Back and as the Skin Back: two files.
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\n"
            "[Button01]\nType=NONE\nLeft=0\nTop=0\nWidth=1\nHeight=1\nBack=back.bmp\n"
            "Float=own_float.bmp\nDown=C:\\Elsewhere\\down.bmp\nUnavailable=gone.bmp\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Picture("C:\\Tomari\\back.bmp", Bitmap(1, 1, 111));
  Picture(std::string(kFolder) + "own_float.bmp", Bitmap(1, 1, 222));
  Picture("C:\\Elsewhere\\down.bmp", Bitmap(1, 1, 333));
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 1u);
  const SkinButton& b = app.skin.Buttons[0];
  EXPECT_EQ(b.Images[kStateBack].pixels, std::vector<Pixel>{111});
  EXPECT_EQ(b.Images[kStateFloat].pixels, std::vector<Pixel>{222});
  EXPECT_EQ(b.Images[kStateDown].pixels, std::vector<Pixel>{333});
  // A named file that is nowhere is an empty look, not a cut of the Skin image.
  EXPECT_TRUE(b.Images[kStateUnavailable].Empty());
  EXPECT_EQ(app.skin.Back().pixels, BackImage().pixels);
}

TEST_F(SkinLoadTest, SkinSectionImagesAreOnlyLookedForInTheSkinFolder) {
  WriteSkin(kSkin, "[Skin]\nBack=back.bmp\n");
  Picture("C:\\Tomari\\back.bmp", Bitmap(1, 1, 111));
  Load();
  EXPECT_TRUE(app.skin.loaded);
  EXPECT_TRUE(app.skin.Back().Empty());
}

TEST_F(SkinLoadTest, MapSkinReadsColoursAndKeepsItsStateImages) {
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\nMap=map.bmp\nFloat=f.bmp\nDown=d.bmp\n"
            "[Button01]\nType=NONE\nColor=Red\nLeft=1\nTop=1\nWidth=3\nHeight=3\nBack=x.bmp\n"
            "[Button02]\nType=NONE\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Picture(std::string(kFolder) + "map.bmp", Bitmap(6, 2, MakePixel(255, 0, 0)));
  Picture(std::string(kFolder) + "f.bmp", Bitmap(6, 2, 1));
  Picture(std::string(kFolder) + "d.bmp", Bitmap(6, 2, 2));
  Picture(std::string(kFolder) + "x.bmp", Bitmap(1, 1, 3));
  Load();
  const SkinData& s = app.skin;
  EXPECT_TRUE(s.IsMapSkin());
  EXPECT_FALSE(s.Images[kStateFloat].Empty());
  EXPECT_FALSE(s.Images[kStateDown].Empty());
  ASSERT_EQ(s.Buttons.size(), 2u);
  EXPECT_EQ(s.Buttons[0].Color, 255);
  EXPECT_EQ(s.Buttons[0].Rectangle, Rect{});
  for (const SkinImage& look : s.Buttons[0].Images) EXPECT_TRUE(look.Empty());
  EXPECT_EQ(s.Buttons[1].Color, kNoColor);
  EXPECT_TRUE(HitTestButton(s, s.Buttons[0], 0, 0));
  EXPECT_FALSE(HitTestButton(s, s.Buttons[1], 0, 0));
}

TEST_F(SkinLoadTest, AbsurdRectanglesNeitherCrashNorAllocate) {
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\n[Button01]\nType=NONE\nLeft=2147483647\nTop=-5\n"
            "Width=2147483647\nHeight=99999999\n[Button02]\nType=NONE\nLeft=0\nTop=0\n"
            "Width=-4\nHeight=-4\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Load();
  ASSERT_EQ(app.skin.Buttons.size(), 2u);
  EXPECT_EQ(app.skin.Buttons[0].Rectangle.right, 2147483647);
  for (const SkinButton& b : app.skin.Buttons)
    for (const SkinImage& look : b.Images) EXPECT_TRUE(look.Empty());
}

TEST_F(SkinLoadTest, CursorsByNameFromFilesAndFailedFiles) {
  WriteSkin(kSkin,
            "[Skin]\n[Button01]\nType=A\nCursor=hand\n[Button02]\nType=B\nCursor=pen.cur\n"
            "[Button03]\nType=C\nCursor=broken.cur\n");
  cursors.AddFile(std::string(kFolder) + "pen.cur");
  Load();
  const auto& b = app.skin.Buttons;
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].Cursor, test::FakeCursorLoader::SystemHandle(32649));
  EXPECT_NE(b[1].Cursor, 0u);
  EXPECT_TRUE(b[1].CursorOwned);
  EXPECT_EQ(b[2].Cursor, 0u);
  // The failed one shows the arrow, which is remembered for next time.
  CursorHandle shown = b[2].Cursor;
  SetSkinCursor(shown, cursors);
  EXPECT_EQ(shown, test::FakeCursorLoader::SystemHandle(kCursorArrow));
}

TEST_F(SkinLoadTest, SwitchingSkinsReleasesFileCursorsButNeverSystemOnes) {
  const std::string mapSkin = "C:\\Tomari\\Skins\\Map\\Map.tsk";
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\n[Button01]\nType=A\nCursor=pen.cur\nLeft=0\nTop=0\n"
            "Width=2\nHeight=2\n[Button02]\nType=B\nCursor=hand\n");
  WriteSkin(mapSkin,
            "[Skin]\nBack=back.bmp\nMap=map.bmp\n[Button01]\nType=A\nCursor=ring.cur\n"
            "Color=#FF0000\n[Button02]\nType=B\nCursor=ring.cur\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Picture("C:\\Tomari\\Skins\\Map\\back.bmp", BackImage());
  Picture("C:\\Tomari\\Skins\\Map\\map.bmp", Bitmap(6, 2, MakePixel(255, 0, 0)));
  cursors.AddFile(std::string(kFolder) + "pen.cur");
  cursors.AddFile("C:\\Tomari\\Skins\\Map\\ring.cur");
  for (int i = 0; i < 10; ++i) {
    app.settings.MainSkin = i % 2 ? mapSkin : std::string(kSkin);
    Load();
    ASSERT_TRUE(app.skin.loaded);
    EXPECT_EQ(app.skin.IsMapSkin(), i % 2 == 1);
    EXPECT_EQ(cursors.Live(), i % 2 ? 2u : 1u);
  }
  FreeSkin(app.skin, cursors);
  EXPECT_EQ(cursors.Live(), 0u);
  for (CursorHandle h : cursors.destroyCalls)
    EXPECT_FALSE(test::FakeCursorLoader::IsSystemHandle(h)) << "a system cursor was destroyed";
  EXPECT_FALSE(app.skin.loaded);
  EXPECT_TRUE(app.skin.Buttons.empty());
  EXPECT_TRUE(app.skin.folder.empty());
  EXPECT_EQ(app.skin.StartupFolder, "C:\\Tomari\\");
}

TEST_F(SkinLoadTest, WhatIsNoSkinLoadsNothing) {
  const std::string small = FakeCodec::Sjis("[Skin]\r\nBack=back.bmp\r\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  const std::function<void()> kCases[] = {
      [&] { fs.Put(kSkin, small + std::string(kMaxSkinFileBytes - small.size(), '\n')); },
      [&] { fs.Put(kSkin, small + std::string(kMaxSkinFileBytes + 1 - small.size(), '\n')); },
      [&] { fs.PutHuge(kSkin, small, 3'000'000'000ull); },  // only its head is held
      [&] { app.settings.MainSkin = "C:\\Tomari\\Skins\\Gone\\Gone.tsk"; },
      [&] { app.settings.MainSkin = ""; },
      [&] { fs.AddFolder(app.settings.MainSkin = "C:\\Tomari\\Skins\\Folder.tsk"); },
      [&] { fs.failReads = true; },  // locked
  };
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    app.settings.MainSkin = kSkin;
    fs.Put(kSkin, small);
    fs.failReads = false;
    kCases[i]();
    EXPECT_EQ(Load(), i == 0) << i;  // only the first is within the size limit
    EXPECT_EQ(app.skin.loaded, i == 0) << i;
    EXPECT_EQ(app.skin.Back().Empty(), i != 0) << i;
  }
  EXPECT_EQ(fs.readAllCalls, 0u);
}

TEST_F(SkinLoadTest, ApplySkinSizesShapesAndDrawsTheWidget) {
  WriteSkin(kSkin, "[Skin]\nBackColor=magenta\nBack=back.bmp\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  ApplySkin(app, ports);
  EXPECT_EQ(widget.width, 6);
  EXPECT_EQ(widget.height, 2);
  EXPECT_EQ(widget.label, "");
  EXPECT_FALSE(widget.shape.fullRectangle);
  const std::vector<Rect> runs = {{1, 0, 5, 1}, {0, 1, 6, 2}};
  EXPECT_EQ(widget.shape.runs, runs);
  EXPECT_EQ(widget.face.pixels, BackImage().pixels);
}

TEST_F(SkinLoadTest, ApplySkinDrawsEachButtonInItsLookEveryTime) {
  // An own Back image that differs from the Skin Back shows at once; TOPMOST
  // (no target) shows Unavailable, after a second apply too.
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\nUnavailable=u.bmp\n[Button01]\nType=NONE\nLeft=0\nTop=1\n"
            "Width=2\nHeight=1\nBack=own.bmp\n[Button02]\nType=TOPMOST\nLeft=4\nTop=1\nWidth=2\n"
            "Height=1\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  Picture(std::string(kFolder) + "u.bmp", Bitmap(6, 2, 7));
  Picture("C:\\Tomari\\own.bmp", Bitmap(2, 1, MakePixel(1, 2, 3)));
  Bitmap expected = BackImage();
  expected.At(0, 1) = expected.At(1, 1) = MakePixel(1, 2, 3);
  expected.At(4, 1) = expected.At(5, 1) = 7;
  for (int pass = 0; pass < 2; ++pass) {
    ApplySkin(app, ports);
    EXPECT_EQ(widget.face.pixels, expected.pixels) << pass;
    EXPECT_FALSE(RefreshButtonsIfChanged(app, ports, -1, -1, 0)) << pass;
  }
  EXPECT_TRUE(widget.shape.fullRectangle);
}

TEST_F(SkinLoadTest, WithoutASkinTheWidgetIsThePlainVersionLabel) {
  // First a shaped skin, then a missing file: the old outline must go.
  WriteSkin(kSkin, "[Skin]\nBackColor=magenta\nBack=back.bmp\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  ApplySkin(app, ports);
  ASSERT_FALSE(widget.shape.fullRectangle);
  app.settings.MainSkin = "C:\\Tomari\\Skins\\Missing\\Missing.tsk";
  ApplySkin(app, ports);
  EXPECT_EQ(widget.width, 150);
  EXPECT_EQ(widget.height, 20);
  EXPECT_TRUE(widget.shape.fullRectangle);
  EXPECT_EQ(widget.label, "トマリギ Ver.1.4.4");
  EXPECT_TRUE(widget.face.Empty());
  EXPECT_EQ(widget.presents, 2);
}

TEST_F(SkinLoadTest, AnEmptyBackImageGivesANoughtSizedWidgetWithAnEmptyShape) {
  WriteSkin(kSkin, "[Skin]\nBackColor=Black\nBack=missing.bmp\n");
  ApplySkin(app, ports);
  EXPECT_TRUE(app.skin.loaded);
  EXPECT_EQ(widget.width, 0);
  EXPECT_EQ(widget.height, 0);
  EXPECT_FALSE(widget.shape.fullRectangle);
  EXPECT_TRUE(widget.shape.runs.empty());
  EXPECT_TRUE(widget.face.Empty());
  EXPECT_EQ(widget.label, "");
}

TEST_F(SkinLoadTest, ButtonLooksAreClippedToTheBackAndEachFileIsDecodedOnce) {
  // 99 buttons of 4096 x 4096 over a 1 x 1 Back, every look from one file.
  std::string text = "[Skin]\nBack=back.bmp\nFloat=big.bmp\n";
  for (int n = 1; n <= kMaxSkinButtons; ++n)
    text += "[Button" + std::to_string(n / 10) + std::to_string(n % 10) +
            "]\nType=NONE\nLeft=0\nTop=0\nWidth=4096\nHeight=4096\nDown=big.bmp\n"
            "Available=C:\\Tomari\\Skins\\Test\\big.bmp\n";
  WriteSkin(kSkin, text);
  const std::string big = std::string(kFolder) + "big.bmp";
  Picture(std::string(kFolder) + "back.bmp", Bitmap(1, 1, 5));
  Picture(big, Bitmap(64, 64, 9));
  ASSERT_TRUE(Load());
  ASSERT_EQ(app.skin.Buttons.size(), 99u);
  for (const SkinButton& b : app.skin.Buttons) {
    EXPECT_EQ(b.Images[kStateBack].pixels, std::vector<Pixel>{5});
    for (int state : {kStateFloat, kStateDown, kStateAvailable})
      EXPECT_EQ(b.Images[state].pixels, std::vector<Pixel>{9});
  }
  std::size_t bigDecodes = 0;
  for (const std::string& path : decoder.decodeCalls) bigDecodes += path == big;
  EXPECT_EQ(bigDecodes, 1u);
}

TEST_F(SkinLoadTest, ASkinBeyondItsPixelBudgetIsNoSkin) {
  // Back: 12 pixels decoded + 12 kept; the button's Back look: 4 more.
  WriteSkin(kSkin,
            "[Skin]\nBack=back.bmp\n[Button01]\nType=NONE\nCursor=pen.cur\nLeft=1\nTop=0\n"
            "Width=2\nHeight=2\n");
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  cursors.AddFile(std::string(kFolder) + "pen.cur");
  for (const auto& [budget, loaded] : {std::pair{28, true}, std::pair{27, false}}) {
    EXPECT_EQ(Load(budget), loaded) << budget;
    EXPECT_EQ(app.skin.Buttons.empty(), !loaded) << budget;
    EXPECT_EQ(cursors.Live(), loaded ? 1u : 0u) << budget;
  }
}

TEST_F(SkinLoadTest, ALoadThatThrowsKeepsTheSkinOnShowOrGivesThePlainWidget) {
  const std::string bad = std::string(kFolder) + "Bad.tsk";
  WriteSkin(bad,
            "[Skin]\nBack=back.bmp\n[Button01]\nType=NONE\nCursor=pen.cur\nLeft=0\nTop=0\n"
            "Width=1\nHeight=1\nBack=boom.bmp\n");
  WriteSkin(kSkin, "[Skin]\nBack=back.bmp\n");
  Picture(std::string(kFolder) + "boom.bmp", BackImage());
  Picture(std::string(kFolder) + "back.bmp", BackImage());
  cursors.AddFile(std::string(kFolder) + "pen.cur");
  decoder.throwOn = std::string(kFolder) + "boom.bmp";

  // At start-up there is nothing to keep.
  app.settings.MainSkin = bad;
  ApplySkin(app, ports);
  EXPECT_FALSE(app.skin.loaded);
  EXPECT_EQ(widget.label, NoSkinLabel());

  app.settings.MainSkin = kSkin;
  ApplySkin(app, ports);
  ASSERT_TRUE(app.skin.loaded);
  const int presents = widget.presents;
  ChangeSkin(app, ports, "Bad.tsk");
  EXPECT_TRUE(app.skin.loaded);
  EXPECT_EQ(app.skin.Back().pixels, BackImage().pixels);
  EXPECT_EQ(app.settings.MainSkin, kSkin);
  EXPECT_EQ(widget.presents, presents);
  EXPECT_EQ(cursors.Live(), 0u);
}

}  // namespace
}  // namespace tomari
