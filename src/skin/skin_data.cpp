// Cursors of the skin, and releasing a skin.
#include <utility>

#include "skin/skin.h"

namespace tomari {

SkinCursor GetSkinCursor(std::string_view value, const std::string& folder, CursorLoader& cursors) {
  if (const auto id = SystemCursorId(value)) return {cursors.LoadSystem(*id), false};
  const CursorHandle handle = cursors.LoadFromFile(folder + std::string(value));
  return {handle, handle != 0};
}

void SetSkinCursor(CursorHandle& cursor, CursorLoader& cursors) {
  if (cursor == 0) cursor = cursors.LoadSystem(kCursorArrow);
  cursors.Show(cursor);
}

void FreeSkin(SkinData& skin, CursorLoader& cursors) {
  // File cursors would otherwise pile up with every skin switch; system
  // cursors are shared and must never be destroyed.
  for (SkinButton& button : skin.Buttons)
    if (button.CursorOwned && button.Cursor != 0) cursors.Destroy(button.Cursor);
  std::string startup = std::move(skin.StartupFolder);
  const int dpi = skin.Dpi;
  skin = SkinData{};
  skin.StartupFolder = std::move(startup);
  skin.Dpi = dpi;
}

}  // namespace tomari
