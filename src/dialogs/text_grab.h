#pragma once
// The text grab dialog's model: the texts a window shows, collected into a
// list, re-read on selection and copied to the clipboard.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/text_grab.h"
#include "platform/types.h"

namespace tomari {

// A text longer than this many characters is cut here, whatever the port gave.
inline constexpr std::size_t kMaxGrabbedChars = 32767;
// The most a whole collection (or one re-read) waits for windows that do not
// answer.
inline constexpr int kGrabBudgetMs = 1000;

// One line of the list. `window` is the child the text came from; 0 for the
// title and for menu strings.
struct GrabEntry {
  std::string text;
  WindowHandle window = 0;
  friend bool operator==(const GrabEntry&, const GrabEntry&) = default;
};

// `text` cut to `maxChars` UTF-8 characters, never inside a character.
std::string CutToCharacters(const std::string& text, std::size_t maxChars);

class TextGrabModel {
 public:
  TextGrabModel(WindowTexts& texts, TextClipboard& clipboard)
      : texts_(texts), clipboard_(clipboard) {}

  // "メニューも取得"; ticked whenever the dialog opens.
  bool includeMenus = true;

  // Fills the list anew: the title (always first, even empty), the menu
  // strings when asked for, then every descendant with a text. Clears the
  // selection.
  void Collect(WindowHandle target);
  const std::vector<GrabEntry>& Entries() const { return entries_; }

  // Selects entry `index` (-1 or out of range: none) and returns what the
  // text box shows: a child's text read again now, otherwise the entry's text.
  std::string Select(int index);
  int Selected() const { return selected_; }

  // Puts the selected entry's text (a child's read again now) on the
  // clipboard. False, and the clipboard untouched, with nothing selected.
  bool Copy();

 private:
  std::string ReadChild(WindowHandle h, std::int64_t deadline);
  std::string CurrentText();
  void AddMenu(MenuHandle menu, int depth);

  WindowTexts& texts_;
  TextClipboard& clipboard_;
  std::vector<GrabEntry> entries_;
  int selected_ = -1;
};

}  // namespace tomari
