#pragma once
// Monitors and the pointer through user32.
#include "platform/ports.h"

namespace tomari {

class Win32Screen final : public Screen {
 public:
  // Whole monitor rectangles (not work areas), the primary monitor first.
  std::vector<Rect> Monitors() override;
  // Where the pointer is; the last known place while the system will not say
  // (a secure desktop, a locked session).
  Point CursorPos() override;

 private:
  Point lastCursor_;
};

}  // namespace tomari
