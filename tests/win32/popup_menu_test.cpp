// The widget's popup menu as the resources build it. Another process cannot
// read a menu under Wine, so this is checked in-process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win32/popup_menu.h"
#include "win32/resources/resource.h"

namespace {

// One line per item: depth, caption (or "-"), and the initial state.
std::vector<std::wstring> Describe(HMENU menu, int depth = 0) {
  std::vector<std::wstring> lines;
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    mi.dwTypeData = text;
    mi.cch = 256;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi));
    std::wstring line(static_cast<size_t>(depth) * 2, L' ');
    if (mi.fType & MFT_SEPARATOR) {
      // Resource compilers mark separators grayed; that is not a state.
      lines.push_back(line + L"-");
      continue;
    }
    line += text;
    if (mi.fState & MFS_GRAYED) line += L" [disabled]";
    if (mi.fState & MFS_CHECKED) line += L" [checked]";
    lines.push_back(line);
    if (mi.hSubMenu) {
      auto sub = Describe(mi.hSubMenu, depth + 1);
      lines.insert(lines.end(), sub.begin(), sub.end());
    }
  }
  return lines;
}

UINT StateOf(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

}  // namespace

TEST(PopupMenu, CaptionsSeparatorsAndInitialStatesAreAsDesigned) {
  HMENU popup = nullptr;
  HMENU bar = tomari::LoadPopupMenu(GetModuleHandleW(nullptr), &popup);
  ASSERT_TRUE(bar);
  ASSERT_TRUE(popup);
  wchar_t top[64] = L"";
  GetMenuStringW(bar, 0, top, 64, MF_BYPOSITION);
  EXPECT_STREQ(top, L"Menu");
  const std::vector<std::wstring> expected = {
      L"ウインドウ(&W) [disabled]",
      L"  現在のウインドウに固定(&S)",
      L"  タイトル時計(&M)",
      L"  画面キャプチャ(&C)",
      L"    ウインドウ全体(&A)",
      L"    ウインドウ内部(&C)",
      L"  ウインドウ内のテキスト取得(&S)",
      L"  常に手前(&T) [disabled]",
      L"  半透明化(&L) [disabled]",
      L"  -",
      L"  現在のウィンドウを対象外にする(&A)",
      L"設定(&O)",
      L"バージョン情報(&A)",
      L"-",
      L"終了(&X)",
  };
  EXPECT_EQ(Describe(popup), expected);
  DestroyMenu(bar);
}

TEST(PopupMenu, ChecksAndEnabledStatesFollowTheCommandState) {
  HMENU popup = nullptr;
  HMENU bar = tomari::LoadPopupMenu(GetModuleHandleW(nullptr), &popup);
  ASSERT_TRUE(bar);
  tomari::CommandState s;
  s.WindowMenuEnabled = true;
  s.WindowSetChecked = true;
  s.TitleClockChecked = true;
  s.TopMostEnabled = true;
  s.TopMostChecked = true;
  s.LayerEnabled = false;
  s.LayerChecked = true;
  tomari::SyncPopupMenu(popup, s);
  EXPECT_FALSE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(StateOf(popup, IDM_WINDOWSET) & MF_CHECKED);
  EXPECT_TRUE(StateOf(popup, IDM_TITLECLOCK) & MF_CHECKED);
  EXPECT_FALSE(StateOf(popup, IDM_TOPMOST) & MF_GRAYED);
  EXPECT_TRUE(StateOf(popup, IDM_TOPMOST) & MF_CHECKED);
  EXPECT_TRUE(StateOf(popup, IDM_LAYER) & MF_GRAYED);
  EXPECT_TRUE(StateOf(popup, IDM_LAYER) & MF_CHECKED);

  // And back: nothing stays checked or enabled from an earlier opening.
  tomari::SyncPopupMenu(popup, tomari::CommandState{});
  EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
  for (UINT id : {IDM_WINDOWSET, IDM_TITLECLOCK, IDM_TOPMOST, IDM_LAYER})
    EXPECT_FALSE(StateOf(popup, id) & MF_CHECKED) << id;
  EXPECT_TRUE(StateOf(popup, IDM_TOPMOST) & MF_GRAYED);
  DestroyMenu(bar);
}

TEST(PopupMenu, EveryItemRunsItsOwnCommand) {
  using tomari::MenuItem;
  const std::pair<UINT, MenuItem> items[] = {
      {IDM_WINDOWSET, MenuItem::WindowSet},     {IDM_TITLECLOCK, MenuItem::TitleClock},
      {IDM_CAPTURE_ALL, MenuItem::CaptureAll},  {IDM_CAPTURE_INSIDE, MenuItem::CaptureInside},
      {IDM_STRING, MenuItem::String},           {IDM_TOPMOST, MenuItem::TopMost},
      {IDM_LAYER, MenuItem::Layer},             {IDM_ANTIPERCHER, MenuItem::AntiPercher},
      {IDM_SETTING, MenuItem::Setting},         {IDM_VERSION, MenuItem::Version},
      {IDM_EXIT, MenuItem::Exit},
  };
  HMENU popup = nullptr;
  HMENU bar = tomari::LoadPopupMenu(GetModuleHandleW(nullptr), &popup);
  for (auto [id, item] : items) {
    EXPECT_EQ(tomari::MenuItemFromId(id), item) << id;
    EXPECT_NE(GetMenuState(popup, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id << " missing";
  }
  EXPECT_EQ(tomari::MenuItemFromId(0), MenuItem::None);  // dismissed
  DestroyMenu(bar);
}
