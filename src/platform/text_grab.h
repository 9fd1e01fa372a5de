#pragma once
// Reading what another program's window shows: its title, the texts of its
// descendant windows and the strings of its menus. Every read that has to ask
// the window's thread takes a time limit, so a hung window costs at most that.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace tomari {

// A menu as the system gives it; 0 is "no menu".
using MenuHandle = std::uintptr_t;

class WindowTexts {
 public:
  virtual ~WindowTexts() = default;
  // Milliseconds on a clock that only moves forward.
  virtual std::int64_t NowMs() = 0;
  // The title, read without sending a message (a hung window cannot block it).
  virtual std::string Title(WindowHandle h) = 0;
  // Every descendant of `h`, each window before its own children, in the order
  // the system enumerates them.
  virtual std::vector<WindowHandle> Descendants(WindowHandle h) = 0;
  // The window's text through WM_GETTEXTLENGTH / WM_GETTEXT, giving up after
  // `timeoutMs` or at once when the window's thread is hung; "" then. At least
  // the first 32767 characters come back; more may.
  virtual std::string TextByMessage(WindowHandle h, int timeoutMs) = 0;
  // The menu bar and the system menu; 0 when the window has none.
  virtual MenuHandle MenuBar(WindowHandle h) = 0;
  virtual MenuHandle SystemMenu(WindowHandle h) = 0;
  // Items of a menu; 0 for a menu that cannot be read.
  virtual int MenuItemCount(MenuHandle m) = 0;
  // The item's string by position, "&" marks and tab-separated shortcuts as
  // stored; "" for separators and items without text.
  virtual std::string MenuItemText(MenuHandle m, int position) = 0;
  // The submenu the item opens; 0 when none.
  virtual MenuHandle SubMenu(MenuHandle m, int position) = 0;
};

class TextClipboard {
 public:
  virtual ~TextClipboard() = default;
  // Replaces the clipboard's content by `text` as Unicode text. False when the
  // clipboard could not be had; it is then unchanged.
  virtual bool SetText(const std::string& text) = 0;
};

}  // namespace tomari
