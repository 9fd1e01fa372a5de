#pragma once
// Other programs' window texts and menus through user32's W entry points, and
// Unicode text on the clipboard.
#include "platform/text_grab.h"

namespace tomari {

class Win32WindowTexts final : public WindowTexts {
 public:
  std::int64_t NowMs() override;
  std::string Title(WindowHandle h) override;
  std::vector<WindowHandle> Descendants(WindowHandle h) override;
  std::string TextByMessage(WindowHandle h, int timeoutMs) override;
  MenuHandle MenuBar(WindowHandle h) override;
  MenuHandle SystemMenu(WindowHandle h) override;
  int MenuItemCount(MenuHandle m) override;
  std::string MenuItemText(MenuHandle m, int position) override;
  MenuHandle SubMenu(MenuHandle m, int position) override;
};

class Win32TextClipboard final : public TextClipboard {
 public:
  // `owner`: one of our windows, which the clipboard is opened with.
  explicit Win32TextClipboard(WindowHandle owner) : owner_(owner) {}
  bool SetText(const std::string& text) override;
  // The ports exist before the widget window does.
  void AttachOwner(WindowHandle owner) { owner_ = owner; }

 private:
  WindowHandle owner_;
};

}  // namespace tomari
