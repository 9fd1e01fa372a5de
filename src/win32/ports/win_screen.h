#pragma once
// Monitors and the pointer through user32.
#include "platform/ports.h"

namespace tomari {

class Win32Screen final : public Screen {
 public:
  // Whole monitor rectangles (not work areas), the primary monitor first.
  // Read once and kept until Forget(): every placement asks, and each reading
  // costs user32 several calls into the window server.
  std::vector<Rect> Monitors() override;
  // The monitors changed (WM_DISPLAYCHANGE, a DPI or setting change): the
  // next Monitors() reads them again.
  void Forget() { monitors_.clear(); }
  // Where the pointer is; the last known place while the system will not say
  // (a secure desktop, a locked session).
  Point CursorPos() override;

 private:
  std::vector<Rect> monitors_;
  Point lastCursor_;
};

}  // namespace tomari
