// The widget's popup menu as the resources build it: every item reaches its
// command, and each opening shows the state of that moment.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "win32/popup_menu.h"
#include "win32/resources/resource.h"

namespace {

TEST(PopupMenu, ItemsRunTheirOwnCommandAndStatesFollowEachOpening) {
  using tomari::MenuItem;
  HMENU popup = nullptr;
  HMENU bar = tomari::LoadPopupMenu(GetModuleHandleW(nullptr), &popup);
  ASSERT_TRUE(bar && popup);
  const std::pair<UINT, MenuItem> items[] = {
      {IDM_WINDOWSET, MenuItem::WindowSet},     {IDM_TITLECLOCK, MenuItem::TitleClock},
      {IDM_CAPTURE_ALL, MenuItem::CaptureAll},  {IDM_CAPTURE_INSIDE, MenuItem::CaptureInside},
      {IDM_STRING, MenuItem::String},           {IDM_TOPMOST, MenuItem::TopMost},
      {IDM_LAYER, MenuItem::Layer},             {IDM_ANTIPERCHER, MenuItem::AntiPercher},
      {IDM_SETTING, MenuItem::Setting},         {IDM_VERSION, MenuItem::Version},
      {IDM_EXIT, MenuItem::Exit},
  };
  for (auto [id, item] : items) {
    EXPECT_EQ(tomari::MenuItemFromId(id), item) << id;
    EXPECT_NE(GetMenuState(popup, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id << " missing";
  }
  EXPECT_EQ(tomari::MenuItemFromId(0), MenuItem::None);  // dismissed

  auto state = [&](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
  tomari::CommandState s;
  s.WindowMenuEnabled = s.WindowSetChecked = s.TitleClockChecked = true;
  s.TopMostEnabled = s.TopMostChecked = s.LayerChecked = true;
  tomari::SyncPopupMenu(popup, s);
  EXPECT_FALSE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
  for (UINT id : {IDM_WINDOWSET, IDM_TITLECLOCK, IDM_TOPMOST, IDM_LAYER})
    EXPECT_TRUE(state(id) & MF_CHECKED) << id;
  EXPECT_FALSE(state(IDM_TOPMOST) & MF_GRAYED);
  EXPECT_TRUE(state(IDM_LAYER) & MF_GRAYED);
  // Nothing stays checked or enabled from an earlier opening.
  tomari::SyncPopupMenu(popup, tomari::CommandState{});
  EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
  for (UINT id : {IDM_WINDOWSET, IDM_TITLECLOCK, IDM_TOPMOST, IDM_LAYER})
    EXPECT_FALSE(state(id) & MF_CHECKED) << id;
  EXPECT_TRUE(state(IDM_TOPMOST) & MF_GRAYED);
  DestroyMenu(bar);
}

}  // namespace
