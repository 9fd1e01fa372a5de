#include "dialogs/text_grab.h"

#include <algorithm>

namespace tomari {

std::string CutToCharacters(const std::string& text, std::size_t maxChars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Count lead bytes only; continuation bytes belong to the character before.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars == maxChars) return text.substr(0, i);
    ++chars;
  }
  return text;
}

std::string TextGrabModel::ReadChild(WindowHandle h, std::int64_t deadline) {
  const std::int64_t left = deadline - texts_.NowMs();
  // Once the budget is spent the remaining windows read as empty rather than
  // each waiting again: a hung form with thousands of children must not stall
  // us for thousands of timeouts.
  if (left <= 0) return {};
  return CutToCharacters(texts_.TextByMessage(h, static_cast<int>(left)), kMaxGrabbedChars);
}

void TextGrabModel::AddMenu(MenuHandle menu, int depth) {
  if (menu == 0) return;
  const int count = texts_.MenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    std::string text = CutToCharacters(texts_.MenuItemText(menu, i), kMaxGrabbedChars);
    if (!text.empty()) entries_.push_back({std::string(static_cast<size_t>(depth), '>') + text, 0});
    AddMenu(texts_.SubMenu(menu, i), depth + 1);
  }
}

void TextGrabModel::Collect(WindowHandle target) {
  entries_.clear();
  selected_ = -1;
  const std::int64_t deadline = texts_.NowMs() + kGrabBudgetMs;
  entries_.push_back({CutToCharacters(texts_.Title(target), kMaxGrabbedChars), 0});
  if (includeMenus) {
    AddMenu(texts_.MenuBar(target), 0);
    AddMenu(texts_.SystemMenu(target), 0);
  }
  for (WindowHandle child : texts_.Descendants(target)) {
    std::string text = ReadChild(child, deadline);
    if (!text.empty()) entries_.push_back({std::move(text), child});
  }
}

std::string TextGrabModel::CurrentText() {
  const GrabEntry& e = entries_[static_cast<size_t>(selected_)];
  if (e.window == 0) return e.text;
  return ReadChild(e.window, texts_.NowMs() + kGrabBudgetMs);
}

std::string TextGrabModel::Select(int index) {
  selected_ = index >= 0 && static_cast<size_t>(index) < entries_.size() ? index : -1;
  return selected_ < 0 ? std::string() : CurrentText();
}

bool TextGrabModel::Copy() {
  if (selected_ < 0) return false;
  return clipboard_.SetText(CurrentText());
}

}  // namespace tomari
