#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_check.h"
#include "support/world.h"

namespace skincheck {
namespace {

using tomari::Bitmap;
using tomari::MakePixel;

constexpr const char* kFolder = "C:\\Skins\\T\\";
const tomari::Pixel kRed = MakePixel(255, 0, 0);
const tomari::Pixel kMagenta = MakePixel(255, 0, 255);

// Line k (1-based) of a skin, one entry per line.
const std::vector<std::string> kRectSkin = {
    "[Skin]",     "BackColor=#FF00FF", "Back=Back.bmp", "Float=Float.bmp",
    "[Button01]", "Type=SETTING",      "ToolTip=設定",  "Left=2",
    "Top=2",      "Width=10",          "Height=10",     "Cursor=HAND"};
const std::vector<std::string> kMapSkin = {"[Skin]",     "Back=Back.bmp", "Map=Map.bmp",
                                           "[Button01]", "Type=POPUP",    "Color=Red"};

struct Skin : tomari::test::World {

  void Picture(const std::string& name, const Bitmap& pixels) {
    files.Put(kFolder + name, "picture");
    images.AddPicture(kFolder + name, pixels);
  }
  std::vector<Problem> Check(const std::vector<std::string>& lines) {
    Bitmap back(40, 20, kRed);
    back.At(0, 0) = kMagenta;
    Picture("Back.bmp", back);
    Picture("Float.bmp", Bitmap(40, 20, kRed));
    Picture("Map.bmp", Bitmap(40, 20, kRed));
    Picture("Small.bmp", Bitmap(5, 5, kRed));
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    files.Put(std::string(kFolder) + "T.tsk", tomari::test::FakeCodec::Sjis(text));
    return CheckSkin(std::string(kFolder) + "T.tsk", "C:\\Start\\",
                     CheckPorts{files, codec, images, cursors, {}});
  }
};

TEST(SkinCheckTest, ReportsEachMistakeOnceOnItsLine) {
  const struct {
    const char* name;
    const std::vector<std::string>* base;
    std::size_t line;  // the line replaced (1-based); past the end appends
    std::string text;
    const char* kind;  // nullptr: clean; else reported once, on that line
  } cases[] = {
      {"clean rectangle skin", &kRectSkin, 6, "Type=SETTING", nullptr},
      {"Japanese command word", &kRectSkin, 6, "Type=設定", nullptr},
      {"clean map skin", &kMapSkin, 6, "Color=Red", nullptr},
      {"image that does not load", &kRectSkin, 4, "Float=Gone.bmp", "image-not-loaded"},
      {"button outside Back", &kRectSkin, 8, "Left=35", "button-outside-back"},
      {"key colour nowhere in Back", &kRectSkin, 2, "BackColor=#00FF00", "key-colour-unused"},
      {"unknown command word", &kRectSkin, 6, "Type=FLY", "unknown-command"},
      {"value cut at 127 bytes", &kRectSkin, 7, "ToolTip=" + std::string(128, 'a'), "value-cut"},
      {"per-button image of the wrong size", &kRectSkin, 13, "Down=Small.bmp", "button-image-size"},
      {"cursor file that does not load", &kRectSkin, 12, "Cursor=Gone.cur", "cursor-not-loaded"},
      {"map colour nowhere in the map", &kMapSkin, 6, "Color=Blue", "map-colour-unused"},
      {"map button without a colour", &kMapSkin, 6, "Color=12", "map-colour-unused"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = *c.base;
    if (c.line <= lines.size())
      lines[c.line - 1] = c.text;
    else
      lines.push_back(c.text);
    Skin skin;
    const std::vector<Problem> problems = skin.Check(lines);
    if (c.kind == nullptr) {
      EXPECT_TRUE(problems.empty()) << FormatText("T.tsk", problems);
      continue;
    }
    ASSERT_EQ(problems.size(), 1u) << FormatText("T.tsk", problems);
    EXPECT_EQ(problems[0].kind + std::to_string(problems[0].line), c.kind + std::to_string(c.line));
  }
}

TEST(SkinCheckTest, CommandLineExitCodesAndJson) {
  Skin skin;
  skin.Check(kRectSkin);
  skin.files.Put("C:\\Bad.tsk", "[Skin]\r\nBack=\"Gone.bmp\"\r\n[Button01]\r\nType=FLY\r\n");
  CheckPorts ports{skin.files, skin.codec, skin.images, skin.cursors, {}};
  std::string out;
  EXPECT_EQ(RunSkinCheck({std::string(kFolder) + "T.tsk"}, "", ports, out), 0);
  out.clear();
  const std::string good = std::string(kFolder) + "T.tsk";
  EXPECT_EQ(RunSkinCheck({"--json", good, "C:\\Bad.tsk"}, "", ports, out), 1);
  EXPECT_NE(out.find(R"({"file":"C:\\Bad.tsk","problems":[{"line":2,"kind":"image-not-loaded")"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(R"({"line":4,"kind":"unknown-command")"), std::string::npos) << out;
  EXPECT_EQ(RunSkinCheck({"--bogus", "C:\\Bad.tsk"}, "", ports, out), 2);
  EXPECT_EQ(RunSkinCheck({}, "", ports, out), 2);
}

}  // namespace
}  // namespace skincheck
