// Reading another process's window texts and walking a folder tree with the
// real system calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dialogs/file_finder.h"
#include "dialogs/text_grab.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_text_grab.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using win32test::Target;

struct Clipboard : TextClipboard {
  bool SetText(const std::string& t) override {
    text = t;
    return true;
  }
  std::string text;
};

TEST(TextGrabWin32, UnicodeTitleAndChildTextReadAgainOnSelect) {
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"한국어 😀\" --edit"));
  const HWND edit = FindWindowExW(target.hwnd(), nullptr, L"EDIT", nullptr);
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"первый"));
  Win32WindowTexts texts;
  Clipboard clip;
  TextGrabModel model(texts, clip);
  model.includeMenus = false;
  model.Collect(reinterpret_cast<WindowHandle>(target.hwnd()));
  ASSERT_EQ(model.Entries().size(), 2u);
  EXPECT_EQ(model.Entries()[0].text, "한국어 😀");
  EXPECT_EQ(model.Entries()[1].text, "первый");
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"второй"));
  EXPECT_EQ(model.Select(1), "второй");
  // Menus are read on a window of ours: Wine keeps menus per process.
  win32test::OwnWindow own;
  const MenuHandle sys = texts.SystemMenu(reinterpret_cast<WindowHandle>(own.hwnd()));
  ASSERT_GT(texts.MenuItemCount(sys), 0);
  EXPECT_FALSE(texts.MenuItemText(sys, 0).empty());
}

// A hung target costs the grab a bounded wait, never the whole program.
TEST(TextGrabWin32, AHungTargetDoesNotHoldTheGrab) {
  Target target;
  ASSERT_TRUE(target.Start(L"--title Hung --edit --hang-after 200"));
  win32test::Pump(500);
  Win32WindowTexts texts;
  Clipboard clip;
  TextGrabModel model(texts, clip);
  const double ms = win32test::ElapsedMs([&] { model.Collect(reinterpret_cast<WindowHandle>(target.hwnd())); });
  EXPECT_LT(ms, 20000);
  EXPECT_EQ(model.Entries()[0].text, "Hung");
}

TEST(TextGrabWin32, DirectoryWalkSeesUnicodeNamesAndStops) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / L"tomari_finder_ü";
  fs::remove_all(root);
  fs::create_directories(root / L"スキン");
  std::ofstream(root / L"top.tsk").put('x');
  std::ofstream(root / L"スキン" / L"ü.tsk").put('x');
  Win32Directory dir;
  FileFinder finder(dir);
  finder.SetPattern("*.tsk");
  std::vector<std::string> found;
  finder.onFind = [&](const std::string& p) { found.push_back(p); };
  const std::string start = WideToUtf8(root.wstring());
  finder.SearchFiles(start + "  ");
  EXPECT_EQ(found, (std::vector<std::string>{start + "\\top.tsk", start + "\\スキン\\ü.tsk"}));
  EXPECT_EQ(finder.Finddir(1), start + "\\スキン");
  EXPECT_EQ(dir.FolderIdentity(start), dir.FolderIdentity(start + "\\スキン\\..\\"));
  fs::remove_all(root);
}

}  // namespace
}  // namespace tomari
