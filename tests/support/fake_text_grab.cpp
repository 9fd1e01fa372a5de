#include "support/fake_text_grab.h"

namespace tomari::test {

std::string FakeWindowTexts::TextByMessage(WindowHandle h, int timeoutMs) {
  ++messageReads;
  if (hung[h]) {
    now += timeoutMs;
    return {};
  }
  return texts[h];
}

int FakeWindowTexts::MenuItemCount(MenuHandle m) {
  auto it = menus.find(m);
  return it == menus.end() ? 0 : static_cast<int>(it->second.size());
}

std::string FakeWindowTexts::MenuItemText(MenuHandle m, int position) {
  return menus.at(m).at(static_cast<size_t>(position)).text;
}

MenuHandle FakeWindowTexts::SubMenu(MenuHandle m, int position) {
  return menus.at(m).at(static_cast<size_t>(position)).sub;
}

}  // namespace tomari::test
