// Values of skin files: colours, cursor names, folders and file names.
#include <gtest/gtest.h>

#include "skin/skin.h"
#include "support/fake_files.h"
#include "support/fake_imaging.h"

namespace tomari {
namespace {

TEST(SkinColor, WordsMatchInAnyCase) {
  EXPECT_EQ(ParseSkinColor("white", -1), 16777215);
  EXPECT_EQ(ParseSkinColor("WHITE", -1), 16777215);
  EXPECT_EQ(ParseSkinColor("Red", -1), 255);  // red in the low byte
  EXPECT_EQ(ParseSkinColor("BLUE", -1), 16711680);
  EXPECT_EQ(ParseSkinColor("black", -1), 0);
  EXPECT_EQ(ParseSkinColor("default", 77), 77);
}

TEST(SkinColor, HashNotationIsRedGreenBlue) {
  EXPECT_EQ(ParseSkinColor("#ff0000", -1), 255);
  EXPECT_EQ(ParseSkinColor("#0000fF", -1), 16711680);
  EXPECT_EQ(ParseSkinColor("#123456", -1), 0x12 + 256 * 0x34 + 65536 * 0x56);
  // Characters after the seventh are ignored.
  EXPECT_EQ(ParseSkinColor("#FF00FF trailing words", -1), 16711935);
  EXPECT_EQ(ParseSkinColor("#FF00FFZZ", -1), 16711935);
}

TEST(SkinColor, AnythingElseGivesTheDefault) {
  EXPECT_EQ(ParseSkinColor("16777215", -1), -1);  // plain numbers are not colours
  EXPECT_EQ(ParseSkinColor("&HFFFFFF", -1), -1);
  EXPECT_EQ(ParseSkinColor("FF0000", 5), 5);
  EXPECT_EQ(ParseSkinColor("#FF00F", -1), -1);   // five digits
  EXPECT_EQ(ParseSkinColor("#GG0000", -1), -1);  // not hexadecimal
  EXPECT_EQ(ParseSkinColor("#FF 000", -1), -1);
  EXPECT_EQ(ParseSkinColor("", 0), 0);
  EXPECT_EQ(ParseSkinColor("#", -1), -1);
  EXPECT_EQ(ParseSkinColor(" white", -1), -1);
  EXPECT_EQ(ParseSkinColor("whitey", -1), -1);
  EXPECT_EQ(ParseSkinColor("赤", -1), -1);
}

TEST(SkinColor, ToPixelSwapsRedAndBlue) {
  EXPECT_EQ(SkinColorToPixel(255), MakePixel(255, 0, 0));
  EXPECT_EQ(SkinColorToPixel(0x563412), MakePixel(0x12, 0x34, 0x56));
}

TEST(SkinCursorNames, SystemCursorsByNameInAnyCase) {
  EXPECT_EQ(SystemCursorId(""), 32512);
  EXPECT_EQ(SystemCursorId("arrow"), 32512);
  EXPECT_EQ(SystemCursorId("HAND"), 32649);
  EXPECT_EQ(SystemCursorId("SizeNWSE"), 32642);
  EXPECT_EQ(SystemCursorId("wait"), 32514);
  EXPECT_FALSE(SystemCursorId("pointer.cur").has_value());
  EXPECT_FALSE(SystemCursorId("HANDS").has_value());
}

TEST(SkinCursorNames, FileCursorsComeFromTheSkinFolderAndAreOwned) {
  test::FakeCursorLoader cursors;
  cursors.AddFile("C:\\Skins\\A\\pen.cur");
  const SkinCursor file = GetSkinCursor("pen.cur", "C:\\Skins\\A\\", cursors);
  EXPECT_NE(file.handle, 0u);
  EXPECT_TRUE(file.owned);
  ASSERT_EQ(cursors.fileLoads.size(), 1u);
  EXPECT_EQ(cursors.fileLoads[0], "C:\\Skins\\A\\pen.cur");

  const SkinCursor hand = GetSkinCursor("hand", "C:\\Skins\\A\\", cursors);
  EXPECT_EQ(hand.handle, test::FakeCursorLoader::SystemHandle(32649));
  EXPECT_FALSE(hand.owned);

  const SkinCursor broken = GetSkinCursor("missing.cur", "C:\\Skins\\A\\", cursors);
  EXPECT_EQ(broken.handle, 0u);
  EXPECT_FALSE(broken.owned);
  EXPECT_EQ(cursors.Live(), 1u);
}

TEST(SkinCursorNames, SetSkinCursorFallsBackToTheArrowAndWritesItBack) {
  test::FakeCursorLoader cursors;
  CursorHandle none = 0;
  SetSkinCursor(none, cursors);
  EXPECT_EQ(none, test::FakeCursorLoader::SystemHandle(kCursorArrow));
  CursorHandle wait = test::FakeCursorLoader::SystemHandle(32514);
  SetSkinCursor(wait, cursors);
  EXPECT_EQ(wait, test::FakeCursorLoader::SystemHandle(32514));
  ASSERT_EQ(cursors.shown.size(), 2u);
  EXPECT_EQ(cursors.shown[0], test::FakeCursorLoader::SystemHandle(kCursorArrow));
  EXPECT_EQ(cursors.shown[1], wait);
}

TEST(SkinPaths, FolderEndsAtTheLastSeparator) {
  EXPECT_EQ(SkinFolderOf("C:\\Tomari\\Skins\\Default\\Default.tsk"),
            "C:\\Tomari\\Skins\\Default\\");
  EXPECT_EQ(SkinFolderOf("D:/skins/x.tsk"), "D:/skins/");
  EXPECT_EQ(SkinFolderOf("C:\\a/b\\c.tsk"), "C:\\a/b\\");
  EXPECT_EQ(SkinFolderOf("x.tsk"), "");
}

TEST(SkinPaths, AbsolutePaths) {
  EXPECT_TRUE(IsAbsolutePath("C:\\img\\a.bmp"));
  EXPECT_TRUE(IsAbsolutePath("d:/img/a.bmp"));
  EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\a.bmp"));
  EXPECT_FALSE(IsAbsolutePath("a.bmp"));
  EXPECT_FALSE(IsAbsolutePath("img\\a.bmp"));
  EXPECT_FALSE(IsAbsolutePath("C:a.bmp"));
  EXPECT_FALSE(IsAbsolutePath("\\img\\a.bmp"));
  EXPECT_FALSE(IsAbsolutePath(""));
}

// Per-button images were written against the directory the program starts in;
// file dialogs move the current directory later, so the start-up one is kept.
TEST(SkinPaths, ButtonImagesLookInTheStartupFolderThenTheSkinFolder) {
  test::FakeFileSystem fs;
  const std::string start = "C:\\Tomari\\";
  const std::string skin = "C:\\Tomari\\Skins\\Mine\\";
  fs.Put("C:\\Tomari\\Skins\\Mine\\btn.bmp", "x");
  fs.Put("C:\\Tomari\\both.bmp", "x");
  fs.Put("C:\\Tomari\\Skins\\Mine\\both.bmp", "x");

  EXPECT_EQ(ResolveButtonImagePath("both.bmp", start, skin, fs), "C:\\Tomari\\both.bmp");
  EXPECT_EQ(ResolveButtonImagePath("btn.bmp", start, skin, fs), "C:\\Tomari\\Skins\\Mine\\btn.bmp");
  EXPECT_EQ(ResolveButtonImagePath("Skins\\Mine\\btn.bmp", start, skin, fs),
            "C:\\Tomari\\Skins\\Mine\\btn.bmp");
  // Nowhere: the start-up path, which then loads as an empty image.
  EXPECT_EQ(ResolveButtonImagePath("gone.bmp", start, skin, fs), "C:\\Tomari\\gone.bmp");
  // Absolute paths are taken as written, even when missing.
  EXPECT_EQ(ResolveButtonImagePath("E:\\pics\\b.bmp", start, skin, fs), "E:\\pics\\b.bmp");
  // Rooted paths stay on the start-up drive.
  EXPECT_EQ(ResolveButtonImagePath("\\pics\\b.bmp", start, skin, fs), "C:\\pics\\b.bmp");
}

}  // namespace
}  // namespace tomari
