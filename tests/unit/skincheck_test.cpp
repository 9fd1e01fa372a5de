#include <gtest/gtest.h>

#include <algorithm>
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
    const std::vector<std::string>* base;
    std::size_t line;  // the line replaced (1-based); past the end appends
    std::string text;
    const char* kind;  // nullptr: clean; else reported once, on that line
  } cases[] = {{&kRectSkin, 6, "Type=SETTING", nullptr},
               {&kMapSkin, 6, "Color=Red", nullptr},
               {&kRectSkin, 4, "Float=Gone.bmp", "image-not-loaded"},
               {&kRectSkin, 8, "Left=35", "button-outside-back"},
               {&kRectSkin, 2, "BackColor=#00FF00", "key-colour-unused"},
               {&kRectSkin, 6, "Type=FLY", "unknown-command"},
               {&kRectSkin, 7, "ToolTip=" + std::string(128, 'a'), "value-cut"},
               {&kRectSkin, 13, "Down=Small.bmp", "button-image-size"},
               {&kRectSkin, 12, "Cursor=Gone.cur", "cursor-not-loaded"},
               {&kMapSkin, 6, "Color=Blue", "map-colour-unused"},
               {&kMapSkin, 6, "Color=12", "map-colour-unused"}};  // a map button without a colour
  for (const auto& c : cases) {
    std::vector<std::string> lines = *c.base;
    lines.resize(std::max(lines.size(), c.line));
    lines[c.line - 1] = c.text;
    std::string found;
    for (const Problem& p : Skin().Check(lines)) found += p.kind + std::to_string(p.line) + " ";
    EXPECT_EQ(found, c.kind ? c.kind + std::to_string(c.line) + " " : "") << c.text;
  }
}

TEST(SkinCheckTest, CommandLineExitCodesAndJson) {
  Skin skin;
  skin.Check(kRectSkin);
  skin.files.Put("C:\\Bad.tsk", "[Skin]\r\nBack=\"Gone.bmp\"\r\n[Button01]\r\nType=FLY\r\n");
  CheckPorts ports{skin.files, skin.codec, skin.images, skin.cursors, {}};
  const std::string good = std::string(kFolder) + "T.tsk";
  std::string out;
  EXPECT_EQ(RunSkinCheck({good}, "", ports, out), 0);
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
