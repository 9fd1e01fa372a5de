#pragma once
// A window with children and menus, for the text grab: texts can change after
// collecting, and a hung child eats the whole time it is given.
#include <map>
#include <string>
#include <vector>

#include "platform/text_grab.h"

namespace tomari::test {

class FakeWindowTexts : public WindowTexts {
 public:
  struct MenuItem {
    std::string text;
    MenuHandle sub = 0;
  };
  std::int64_t NowMs() override { return now; }
  std::string Title(WindowHandle h) override { return titles[h]; }
  std::vector<WindowHandle> Descendants(WindowHandle h) override { return children[h]; }
  std::string TextByMessage(WindowHandle h, int timeoutMs) override {
    ++messageReads;
    if (hung[h]) now += timeoutMs;
    return hung[h] ? "" : texts[h];
  }
  MenuHandle MenuBar(WindowHandle h) override { return menuBars[h]; }
  MenuHandle SystemMenu(WindowHandle h) override { return systemMenus[h]; }
  int MenuItemCount(MenuHandle m) override { return static_cast<int>(menus[m].size()); }
  std::string MenuItemText(MenuHandle m, int i) override { return menus[m].at(i).text; }
  MenuHandle SubMenu(MenuHandle m, int i) override { return menus[m].at(i).sub; }

  std::int64_t now = 0;
  std::map<WindowHandle, std::string> titles, texts;
  std::map<WindowHandle, std::vector<WindowHandle>> children;
  std::map<WindowHandle, bool> hung;  // waits out its timeout, then reads ""
  std::map<WindowHandle, MenuHandle> menuBars, systemMenus;
  std::map<MenuHandle, std::vector<MenuItem>> menus;
  int messageReads = 0;
};

class FakeClipboard : public TextClipboard {
 public:
  bool SetText(const std::string& t) override {
    text = t;
    return true;
  }
  std::string text;
};

}  // namespace tomari::test
